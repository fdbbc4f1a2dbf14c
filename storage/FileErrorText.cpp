// The operator's texts of the report file's failures.

#include <array>

#include "ReportFile.h"

std::string FileErrorText(FileErrorCause cause, const std::string& path)
{
    static constexpr std::array<const char*, 15> kTexts{
        "No error occurred.",
        "An unknown error occurred while accessing %1.",
        "%1 was not found.",
        "%1 contains an invalid path.",
        "%1 could not be opened because there are too many open files.",
        "Access to %1 was denied.",
        "An invalid file handle was associated with %1.",
        "%1 could not be removed because it is the current directory.",
        "%1 could not be created because the directory is full.",
        "Seek failed on %1",
        "A hardware I/O error was reported while accessing %1.",
        "A sharing violation occurred while accessing %1.",
        "A locking violation occurred while accessing %1.",
        "Disk full while accessing %1.",
        "An attempt was made to access %1 past its end.",
    };
    std::size_t index = static_cast<std::size_t>(cause);
    if (index >= kTexts.size())
        index = static_cast<std::size_t>(FileErrorCause::Generic);

    // Replaced in one pass, so a path that itself holds "%1" stays as typed.
    const std::string_view text = kTexts[index];
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
            result += path;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}
