#include "DriverProbe.h"

#include <cerrno>

#include "BoardDevice.h"
#include "SharedLibrary.h"

namespace {

// The marker the simulated mainframe exports.
constexpr const char* kSimulatorMarker = "zentra_sim_driver";

} // namespace

DriverProbe ProbeDriver(const gpib::DriverNames& names)
{
    DriverProbe probe;
    const os::LibraryHandle library = os::LoadSharedLibrary(names.library);
    if (library == nullptr) {
        probe.loaderError = os::LoaderErrorText();
        // dlerror names the file itself; the Windows loader's text does not.
        if (probe.loaderError.find(names.library) == std::string::npos)
            probe.loaderError = std::string(names.library) + ": " + probe.loaderError;
        return probe;
    }
    probe.loaded = true;
    probe.file = os::LibraryFilePath(library);
    probe.foundBy = os::HowLibraryWasFound(names.library, probe.file);
    for (const char* name : {names.statusExport, names.errorExport, names.countExport}) {
        if (os::GetSymbol(library, name) == nullptr)
            probe.missingStatus.emplace_back(name);
    }
    for (const char* name : gpib::kRoutineNames) {
        if (os::GetSymbol(library, name) == nullptr)
            probe.missingRoutines.emplace_back(name);
    }
    probe.simulated = os::GetSymbol(library, kSimulatorMarker) != nullptr;
    os::FreeSharedLibrary(library);
    return probe;
}

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

std::string DriverCauseText(const gpib::DriverStatus& status, const gpib::CGpibBinding& binding, int board)
{
    if ((status.ibsta & gpib::ERR) == 0 || status.iberr != gpib::EDVR)
        return {};
#ifndef _WIN32
    // linux-gpib reports a board whose device file it could not open as EBADF,
    // for the descriptor it never got: the open's own error is the cause.
    if (binding.IsLoaded() && status.ibcntl == EBADF) {
        if (const int openError = BoardDeviceOpenError(board); openError != 0)
            return "driver: " + BoardDevicePath(board) + " cannot be opened: " + os::SystemErrorText(openError);
    }
#else
    (void)board;
#endif
    // The driver's own system error, as linux-gpib leaves it in ibcntl.
    if (binding.IsLoaded() && status.ibcntl != 0)
        return "driver: " + os::SystemErrorText(status.ibcntl);
    // The binding reports an unreachable driver or routine as EDVR too; the loader knows why.
    const DriverProbe probe = ProbeDriver(binding.Names());
    if (!probe.loaded)
        return "driver: " + probe.loaderError;
    if (!binding.IsLoaded() && !probe.missingStatus.empty())
        return "driver: " + probe.file + " lacks " + JoinNames(probe.missingStatus);
    if (!probe.missingRoutines.empty())
        return "driver: " + probe.file + " lacks " + JoinNames(probe.missingRoutines);
    return {};
}
