#include "UtcTime.h"

#include <cstdio>
#include <ctime>

std::string UtcText(std::chrono::system_clock::time_point when)
{
    using namespace std::chrono;
    const auto day = floor<days>(when);
    const year_month_day date{day};
    const hh_mm_ss time{floor<microseconds>(when - day)};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    // The fraction goes in before the Z: microseconds, so that runs in one
    // millisecond still sort as they happened.
    char millis[12];
    std::snprintf(millis, sizeof millis, ".%06d", static_cast<int>(time.subseconds().count()));
    std::string result(text);
    result.insert(result.size() - 1, millis);
    return result;
}

std::string UtcNow()
{
    return UtcText(std::chrono::system_clock::now());
}

std::optional<std::string> ParseUtcSince(std::string_view text)
{
    if (!text.empty() && (text.back() == 'Z' || text.back() == 'z'))
        text.remove_suffix(1);
    const auto digits = [&](std::size_t at, std::size_t count, int& value) {
        if (at + count > text.size())
            return false;
        value = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            value = value * 10 + (text[i] - '0');
        }
        return true;
    };
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!digits(0, 4, year) || text.size() < 10 || text[4] != '-' || !digits(5, 2, month) || text[7] != '-'
        || !digits(8, 2, day))
        return std::nullopt;
    if (text.size() > 10) {
        const bool separated = text[10] == 'T' || text[10] == 't' || text[10] == ' ';
        if (!separated || !digits(11, 2, hour) || text.size() < 16 || text[13] != ':' || !digits(14, 2, minute))
            return std::nullopt;
        if (text.size() > 16 && (text.size() != 19 || text[16] != ':' || !digits(17, 2, second)))
            return std::nullopt;
    }
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok() || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return UtcText(sys_days{date} + hours{hour} + minutes{minute} + seconds{second});
}
