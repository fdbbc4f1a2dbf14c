#include "BoardFiles.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#endif

#include "BoardDevice.h"
#include "SharedLibrary.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
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

namespace {

// The library keeps its default, sysconfdir + "/gpib.conf", as a string.
std::string BuiltInConfigFile(const std::string& libraryFile)
{
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

// A configuration file is a few kilobytes; anything far larger is not one.
constexpr long kMaxConfigBytes = 1 << 20;

// The whole file into `text`; the system error when it cannot be read.
int ReadConfigText(const std::string& path, std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return errno;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() <= kMaxConfigBytes)
        text.append(buffer, got);
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    return error;
}

} // namespace

ConfigFileChoice ChooseConfigFile(const std::string& libraryFile)
{
    ConfigFileChoice choice;
    choice.builtIn = BuiltInConfigFile(libraryFile);
    // The library takes IB_CONFIG whenever it is set, even to nothing.
    if (const char* given = std::getenv("IB_CONFIG")) {
        choice.path = given;
        choice.source = ConfigFileChoice::Source::Environment;
    } else if (!choice.builtIn.empty()) {
        choice.path = choice.builtIn;
        choice.source = ConfigFileChoice::Source::Library;
    } else {
        choice.path = "/etc/gpib.conf";
    }
    return choice;
}

std::string ConfigFileName(const ConfigFileChoice& choice)
{
    return choice.path.empty() ? std::string("\"\" (IB_CONFIG is empty)") : choice.path;
}

DoctorStep CheckConfigFile(const ConfigFileChoice& choice, bool simulated, GpibConf& conf)
{
    DoctorStep step;
    step.name = "configuration file";
    const bool fromEnvironment = choice.source == ConfigFileChoice::Source::Environment;
    if (simulated && !fromEnvironment) {
        step.detail = "none needed by the simulated driver";
        return step;
    }
    const std::string& path = choice.path;
    const std::string defaultFile = choice.builtIn.empty() ? "/etc/gpib.conf" : choice.builtIn;
    step.ok = false;
    if (path.empty()) {
        step.detail = "IB_CONFIG is set but empty, so the library tries to open a file named \"\"";
        step.notes.push_back("to do: unset IB_CONFIG, so that the library reads its own " + defaultFile +
                             ", or set it to the configuration file");
        return step;
    }
    const std::string from = fromEnvironment ? " (from IB_CONFIG)"
                             : choice.source == ConfigFileChoice::Source::Library
                                 ? " (the one this library reads; IB_CONFIG names another)"
                                 : " (linux-gpib's default; IB_CONFIG names another)";
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    std::string text;
    int readError = 0;
    if (!std::filesystem::exists(status)) {
        step.detail = path + from + " does not exist";
        step.notes.push_back("to do: write it (one board section per board: board_type, minor, pad, master) or "
                             "point IB_CONFIG at the file that has them");
    } else if (std::filesystem::is_directory(status)) {
        step.detail = path + from + " is a folder, not a file";
        step.notes.push_back("to do: point IB_CONFIG at the configuration file itself, such as " +
                             (std::filesystem::path(path) / "gpib.conf").string());
    } else if (!std::filesystem::is_regular_file(status)) {
        step.detail = path + from + " is not a file";
        step.notes.push_back("to do: point IB_CONFIG at the configuration file itself");
    } else if ((readError = ReadConfigText(path, text)) != 0) {
        step.detail = path + from + " cannot be read: " + os::SystemErrorText(readError);
        step.notes.push_back(readError == EACCES || readError == EPERM
                                 ? "to do: make it readable for this user: chmod a+r " + path
                                 : std::string("to do: check the file and the disk it is on"));
    } else if (text.size() > kMaxConfigBytes) {
        step.detail = path + from + " is far too large for a configuration file";
        step.notes.push_back("to do: point IB_CONFIG at the configuration file itself");
    } else if (conf = ParseGpibConf(text); !conf.fault.empty()) {
        step.detail = path + from + ", line " + std::to_string(conf.faultLine) + ": " + conf.fault;
        step.notes.push_back("to do: mend line " + std::to_string(conf.faultLine) +
                             "; linux-gpib refuses the whole file for one fault");
    } else {
        step.ok = true;
        std::string boards;
        for (const int minor : conf.boards)
            boards += (boards.empty() ? "" : ", ") + std::to_string(minor);
        step.detail = path + from + " is readable and configures " +
                      (boards.empty() ? std::string("no board") : "minor " + boards);
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
    const std::string path = BoardDevicePath(board);
#ifdef _WIN32
    step.detail = path + " is not used on Windows";
#else
    const int errnum = BoardDeviceOpenError(board);
    if (errnum == 0) {
        step.detail = path + " can be opened";
        return step;
    }
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
