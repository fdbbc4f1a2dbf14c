#include "HistoryLocation.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The user's data folder for this program, empty when the system names none.
std::filesystem::path DataFolder()
{
#ifdef _WIN32
    const std::string local = Variable("LOCALAPPDATA");
    return local.empty() ? std::filesystem::path() : std::filesystem::path(local) / "Valdina";
#else
    // A relative XDG_DATA_HOME is to be ignored, as the base directory rules say.
    if (const std::string data = Variable("XDG_DATA_HOME"); !data.empty() && data.front() == '/')
        return std::filesystem::path(data) / "valdina";
    const std::string home = Variable("HOME");
    return home.empty() ? std::filesystem::path() : std::filesystem::path(home) / ".local" / "share" / "valdina";
#endif
}

} // namespace

HistoryLocation ChooseHistoryLocation(const std::string& option)
{
    HistoryLocation location;
    location.path = !option.empty() ? option : Variable("VALDINA_HISTORY");
    if (!location.path.empty()) {
        location.chosen = true;
        return location;
    }
    const std::filesystem::path folder = DataFolder();
    if (folder.empty()) {
#ifdef _WIN32
        location.problem = "No folder for the card history: LOCALAPPDATA is not set. Name a file with --history "
                           "or VALDINA_HISTORY.";
#else
        location.problem = "No folder for the card history: neither XDG_DATA_HOME nor HOME is set. Name a file "
                           "with --history or VALDINA_HISTORY.";
#endif
        return location;
    }
    location.path = (folder / "history.sqlite").string();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // A folder that could not be made is named by the store when it opens.
    return location;
}
