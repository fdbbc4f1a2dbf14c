#include "BoardFiles.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "SharedLibrary.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string DevicePath(int board)
{
    std::string folder = Environment("VALDINA_GPIB_DEVICE_DIR");
    if (folder.empty())
        folder = "/dev";
    return folder + "/gpib" + std::to_string(board);
}

#ifndef _WIN32
// The group that owns the device, by name where the system knows it.
std::string OwningGroup(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return "gpib";
    const group* entry = getgrgid(info.st_gid);
    return entry != nullptr ? entry->gr_name : std::to_string(info.st_gid);
}
#endif

} // namespace

std::string BoardDeviceAdvice(long errnum, int board)
{
    const std::string device = "/dev/gpib" + std::to_string(board);
    const std::string minor = std::to_string(board);
    switch (errnum) {
    case ENOENT:
        return "to do: " + device + " is missing: load the board's kernel module (modprobe, the driver named in "
               "gpib.conf), then run gpib_config --minor " + minor + " as root";
    case EACCES:
    case EPERM:
        return "to do: this user may not open " + device + ": join the group that owns it (usermod -aG gpib $USER, "
               "then log in again) or add a udev rule: KERNEL==\"gpib[0-9]*\", GROUP=\"gpib\", MODE=\"0660\"";
    case ENODEV:
    case ENXIO:
        // The node exists but no driver owns its device number.
        return "to do: no kernel module serves " + device + " (module not loaded, a stale node, or minor 16 or "
               "more): load the board's module (modprobe, the driver named in gpib.conf), then run gpib_config "
               "--minor " + minor + " as root";
    default:
        return "to do: check that board " + minor + " is installed, its module loaded and gpib_config run";
    }
}

std::string LibraryConfigFile(const std::string& libraryFile)
{
    const std::string given = Environment("IB_CONFIG");
    if (!given.empty())
        return given;
    // The library keeps its default, sysconfdir + "/gpib.conf", as a string.
    std::ifstream library(libraryFile, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(library), std::istreambuf_iterator<char>()};
    const std::string name = "/gpib.conf";
    for (std::size_t at = bytes.find(name); at != std::string::npos; at = bytes.find(name, at + 1)) {
        if (at + name.size() >= bytes.size() || bytes[at + name.size()] != '\0')
            continue;
        std::size_t start = at;
        while (start > 0 && bytes[start - 1] > 0x20 && bytes[start - 1] < 0x7F)
            --start;
        if (bytes[start] == '/')
            return bytes.substr(start, at + name.size() - start);
    }
    return {};
}

std::vector<int> ConfiguredMinors(const std::string& configFile)
{
    std::ifstream file(configFile);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    static const std::regex minor(R"(\bminor\s*=\s*(\d+))");
    std::vector<int> minors;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), minor); it != std::sregex_iterator(); ++it)
        minors.push_back(std::stoi((*it)[1].str()));
    return minors;
}

DoctorStep CheckConfigFile(bool simulated, const std::string& libraryFile)
{
    DoctorStep step;
    step.name = "configuration file";
    const std::string given = Environment("IB_CONFIG");
    if (simulated && given.empty()) {
        step.detail = "none needed by the simulated driver";
        return step;
    }
    const std::string builtIn = LibraryConfigFile(libraryFile);
    const std::string path = !given.empty() ? given : !builtIn.empty() ? builtIn : "/etc/gpib.conf";
    const std::string from = !given.empty()    ? " (from IB_CONFIG)"
                             : !builtIn.empty() ? " (the one this library reads; IB_CONFIG names another)"
                                                : " (linux-gpib's default; IB_CONFIG names another)";
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    step.ok = false;
    if (!std::filesystem::exists(status)) {
        step.detail = path + from + " does not exist";
        step.notes.push_back("to do: write it (one board section per board: board_type, minor, pad, master) or "
                             "point IB_CONFIG at the file that has them");
    } else if (!std::filesystem::is_regular_file(status)) {
        step.detail = path + from + " is not a file";
        step.notes.push_back("to do: point IB_CONFIG at the configuration file itself");
    } else if (!std::ifstream(path)) {
        step.detail = path + from + " cannot be read: " + os::SystemErrorText(errno);
        step.notes.push_back("to do: make it readable for this user: chmod a+r " + path);
    } else {
        step.ok = true;
        step.detail = path + from + " is readable";
    }
    return step;
}

DoctorStep CheckBoardDevice(int board, bool simulated)
{
    DoctorStep step;
    step.name = "board device";
    if (simulated && Environment("VALDINA_GPIB_DEVICE_DIR").empty()) {
        step.detail = "none needed by the simulated driver";
        return step;
    }
    const std::string path = DevicePath(board);
#ifdef _WIN32
    step.detail = path + " is not used on Windows";
#else
    const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        close(fd);
        step.detail = path + " can be opened";
        return step;
    }
    const int errnum = errno;
    step.ok = false;
    step.detail = path + " cannot be opened: " + os::SystemErrorText(errnum);
    std::string advice = BoardDeviceAdvice(errnum, board);
    if ((errnum == EACCES || errnum == EPERM) && OwningGroup(path) == "root")
        // Joining root's group is no answer: the node needs a group of its own.
        advice = "to do: " + path + " belongs to group root: give it a group of its own, by a udev rule "
                 "(KERNEL==\"gpib[0-9]*\", GROUP=\"gpib\", MODE=\"0660\") or chgrp gpib " + path + " and chmod 660 " +
                 path + ", then join that group (usermod -aG gpib $USER)";
    else if (errnum == EACCES || errnum == EPERM)
        advice += " (it belongs to group " + OwningGroup(path) + ")";
    step.notes.push_back(advice);
#endif
    return step;
}
