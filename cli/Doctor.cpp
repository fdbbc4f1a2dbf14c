#include "Doctor.h"

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <functional>
#include <ostream>
#include <system_error>
#include <utility>

#include "BoardFiles.h"
#include "CInstrument.h"
#include "DoctorAdvice.h"
#include "DoctorStep.h"
#include "DriverProbe.h"
#include "ExitCode.h"
#include "SharedLibrary.h"
#include "StderrCapture.h"

namespace {

// What to do when the loader cannot find `library`, the one this build binds.
std::vector<std::string> InstallDriver(const char* library)
{
#ifdef _WIN32
    return {std::string("to do: install the NI-488.2 driver, which puts ") + library + " in the system folder"};
#else
    // Debian does not package linux-gpib. The simulated mainframe's package puts
    // its library in lib/valdina-sim beside this program's bin folder.
    std::vector<std::string> notes{
        std::string("to do: build and install linux-gpib's user library from the linux-gpib project's sources "
                    "(https://sourceforge.net/projects/linux-gpib/) and run ldconfig, or put the folder holding ") +
        library + " on LD_LIBRARY_PATH"};
    std::error_code error;
    const std::filesystem::path simulator =
        (std::filesystem::read_symlink("/proc/self/exe", error).parent_path() / "../lib/valdina-sim").lexically_normal();
    if (!error && std::filesystem::exists(simulator / library, error))
        notes.push_back("to try the program without hardware: valdina-demo (the window on a simulated mainframe), or "
                        "LD_LIBRARY_PATH=" + simulator.string() + " valdina-cli verify");
    return notes;
#endif
}

class CDoctor {
public:
    CDoctor(CInstrument& instrument, std::ostream& out) : m_instrument(instrument), m_out(out) {}

    int Run()
    {
        m_out << "valdina-cli doctor: board " << m_instrument.Board() << ", mainframe at address "
              << m_instrument.Address() << std::endl;
        DriverProbe probe;
        const bool driverOk = Report(Checked("driver library", [&] {
                                  probe = ProbeDriver(m_instrument.Binding().Names());
                                  return LibraryStep(probe, m_instrument.Binding().Names().library);
                              })) &&
                              Report(Checked("driver exports", [&] { return ExportsStep(probe); }));
#ifndef _WIN32
        // Independent of the library: worth knowing even when it is missing.
        Report(Checked("configuration file", [&] {
            m_config = ChooseConfigFile(probe.loaded ? probe.file : "");
            m_configKnown = probe.loaded && !probe.simulated;
            return CheckConfigFile(m_config, probe.simulated, m_conf);
        }));
        m_device = Checked("board device", [&] {
            DoctorStep step = CheckBoardDevice(m_instrument.Board(), probe.simulated);
            // A board the file does not configure has no device either: say that first.
            if (!step.ok && !m_conf.boards.empty() && !MissingSectionNote().empty())
                step.notes.insert(step.notes.begin(), MissingSectionNote());
            return step;
        });
        Report(m_device);
#endif
        if (driverOk && Report(Captured("board " + std::to_string(m_instrument.Board()), &CDoctor::BoardStep))) {
            const DoctorStep listener = Captured("mainframe listens", &CDoctor::ListenerStep);
            // An adapter that cannot sense listeners says nothing about the mainframe.
            if (Report(listener) || m_cannotSenseListeners)
                Report(Captured("mainframe answers", &CDoctor::PresenceStep));
        }
        return m_failed ? kExitFailed : kExitOk;
    }

private:
    // A step whose check threw (a file that could not be read, a number out of
    // range) fails with that cause instead of ending doctor.
    static DoctorStep Checked(const std::string& name, const std::function<DoctorStep()>& check)
    {
        try {
            return check();
        } catch (const std::exception& error) {
            DoctorStep step;
            step.ok = false;
            step.name = name;
            step.detail = std::string("could not be checked: ") + error.what();
            return step;
        }
    }

    // The step, with what the driver library wrote to standard error meanwhile
    // (its own reasons, such as a configuration file it cannot parse) below it.
    // Should the library end the program during the step, the step is still
    // reported, with what the library said before it did.
    DoctorStep Captured(const std::string& name, DoctorStep (CDoctor::*run)())
    {
        CStderrCapture capture([this, &name](const std::vector<std::string>& said) {
            DoctorStep step;
            step.ok = false;
            step.name = name;
            step.detail = "the driver library ended the program during this step";
            AddLibrarySaid(step, said);
            step.notes.push_back("to do: mend what the steps above and the library said; the steps after this one "
                                 "were not checked");
            Report(step);
        });
        DoctorStep step = Checked(name, [&] { return (this->*run)(); });
        AddLibrarySaid(step, capture.Lines());
        return step;
    }

    static void AddLibrarySaid(DoctorStep& step, const std::vector<std::string>& said)
    {
        std::vector<std::string> lines;
        for (const std::string& line : said)
            lines.push_back("library said: " + line);
        step.notes.insert(step.notes.begin(), lines.begin(), lines.end());
    }

    bool Report(const DoctorStep& step)
    {
        m_out << (step.ok ? "OK    " : "FAIL  ") << step.name << ": " << step.detail << '\n';
        for (const std::string& note : step.notes)
            m_out << "      " << note << '\n';
        // On the screen before the next step calls the library, whatever it then does.
        m_out << std::flush;
        if (!step.ok)
            m_failed = true;
        return step.ok;
    }

    static DoctorStep LibraryStep(const DriverProbe& probe, const char* library)
    {
        DoctorStep step;
        step.name = "driver library";
        if (!probe.loaded) {
            step.ok = false;
            step.detail = probe.loaderError;
            step.notes.push_back("looked in: " + os::LoaderSearchOrder());
            for (std::string& note : InstallDriver(library))
                step.notes.push_back(std::move(note));
            return step;
        }
        step.detail = probe.file + ", found " + probe.foundBy;
        if (probe.simulated)
            step.detail += " (the simulated mainframe)";
        return step;
    }

    DoctorStep ExportsStep(const DriverProbe& probe) const
    {
        const gpib::DriverNames& names = m_instrument.Binding().Names();
        DoctorStep step;
        step.name = "driver exports";
        std::vector<std::string> missing = probe.missingStatus;
        missing.insert(missing.end(), probe.missingRoutines.begin(), probe.missingRoutines.end());
        if (missing.empty()) {
            step.detail = std::string("the seven routines and the status ") +
                          (names.statusByFunction ? "functions " : "variables ") + names.statusExport + ", " +
                          names.errorExport + " and " + names.countExport;
            return step;
        }
        step.ok = false;
        step.detail = probe.file + " lacks " + JoinNames(missing);
        step.notes.push_back("to do: this is not a GPIB driver library the program can use; install the GPIB "
                             "driver's own library, or remove the file that hides it");
        return step;
    }

    // The driver's cause, then what the operator can do about this error code.
    void AddDriverNotes(DoctorStep& step, const std::string& advice) const
    {
        const gpib::DriverStatus& status = m_instrument.Binding().Status();
        const std::string cause = m_instrument.DriverCause();
        if (!cause.empty())
            step.notes.push_back(cause);
        // After a failed device open linux-gpib reports EBADF for the descriptor it
        // never got; the device step has the advice for the open's own error.
        if (!m_device.ok && status.iberr == gpib::EDVR && status.ibcntl == EBADF) {
            step.notes.insert(step.notes.end(), m_device.notes.begin(), m_device.notes.end());
            return;
        }
        if (kThisDriverFamily == DriverFamily::LinuxGpib && status.iberr == gpib::EARG) {
            AddConfigNotes(step, status.ibcntl);
            return;
        }
        const std::string own = BoardErrorAdvice(kThisDriverFamily, status.iberr, status.ibcntl, m_instrument.Board());
        step.notes.push_back(own.empty() ? advice : own);
    }

    // linux-gpib's EARG with a system error: the library could not open its
    // configuration file; with 0: it refused the file, or the file has no
    // section for the board.
    void AddConfigNotes(DoctorStep& step, long ibcntl) const
    {
        const std::string file = m_configKnown ? ConfigFileName(m_config) : "the configuration file";
        if (m_configKnown && m_config.path.empty()) {
            step.notes.push_back("to do: IB_CONFIG is set but empty, so the library could not open a file named \"\": "
                                 "unset it, or set it to the configuration file");
            return;
        }
        if (ibcntl == ENOENT) {
            step.notes.push_back("to do: the library could not open " + file +
                                 ": write it, or point IB_CONFIG at the file that has the board sections");
            return;
        }
        if (ibcntl == EACCES || ibcntl == EPERM) {
            step.notes.push_back("to do: this user may not read " + file + ": make it readable (chmod a+r " + file +
                                 "), or point IB_CONFIG at a readable copy");
            return;
        }
        if (ibcntl != 0) {
            step.notes.push_back("to do: the library could not open " + file + " (" + os::SystemErrorText(ibcntl) +
                                 "): point IB_CONFIG at the configuration file");
            return;
        }
        if (!m_conf.fault.empty()) {
            step.notes.push_back("to do: mend line " + std::to_string(m_conf.faultLine) + " of " + file +
                                 " (see the configuration file step); the library refuses the whole file");
            return;
        }
        const std::string missing = MissingSectionNote();
        if (!missing.empty()) {
            step.notes.push_back(missing);
            return;
        }
        // The section is there, so the library failed on the file itself.
        step.notes.push_back("to do: " + file + " has a section with minor = " + std::to_string(m_instrument.Board()) +
                             ", but the library could not use the file: mend what the library said above");
    }

    // The board's section missing from the configuration file, with the boards it
    // does configure; empty when the section is there.
    std::string MissingSectionNote() const
    {
        const std::vector<int>& minors = m_conf.boards;
        const int board = m_instrument.Board();
        if (std::find(minors.begin(), minors.end(), board) != minors.end())
            return {};
        const std::string index = std::to_string(board);
        const std::string file = m_configKnown ? ConfigFileName(m_config) : "the configuration file";
        std::string configured;
        for (const int minor : minors)
            configured += (configured.empty() ? "" : ", ") + std::to_string(minor);
        return "to do: no board section with minor = " + index + " in " + file +
               (configured.empty() ? std::string(" (it has no interface section)") : "; configured: minor " + configured) +
               ": give --board one of those, or add the section and run gpib_config --minor " + index;
    }

    std::string Failure() const
    {
        return m_instrument.ErrorText() + " during \"" + m_instrument.Operation() + "\"";
    }

    DoctorStep BoardStep()
    {
        DoctorStep step;
        step.name = "board " + std::to_string(m_instrument.Board());
        if (m_instrument.SendIFC()) {
            step.detail = "interface clear succeeded";
            return step;
        }
        step.ok = false;
        step.detail = Failure();
        AddDriverNotes(step, "to do: check the board's installation and its entry in the configuration");
        return step;
    }

    DoctorStep ListenerStep()
    {
        DoctorStep step;
        const std::string address = std::to_string(m_instrument.Address());
        step.name = "mainframe listens";
        if (m_instrument.IsListener()) {
            step.detail = "a device listens at address " + address;
            return step;
        }
        step.ok = false;
        step.detail = Failure();
        m_cannotSenseListeners = m_instrument.Binding().Status().iberr == gpib::ECAP;
        if (m_cannotSenseListeners) {
            step.detail = "board " + std::to_string(m_instrument.Board()) +
                          " cannot sense listeners (FindLstn fails with ECAP), so scan and verify always fail with " +
                          Failure();
            step.notes.push_back("to do: use a GPIB adapter that supports listener sensing (FindLstn)");
        } else if (m_instrument.ErrorText().rfind("GPIB device", 0) == 0) {
            step.notes.push_back("to do: switch the mainframe on, check the GPIB cable, and check that its address is " +
                                 address + " (or give --address)");
        } else {
            AddDriverNotes(step, "to do: check the GPIB cable and that no other controller holds the bus");
        }
        return step;
    }

    DoctorStep PresenceStep()
    {
        DoctorStep step;
        step.name = "mainframe answers";
        std::uint8_t presence[kPresenceMapSize] = {};
        if (m_instrument.QueryPresent(presence)) {
            std::size_t cards = 0;
            for (const std::uint8_t byte : presence)
                cards += std::bitset<8>(byte).count();
            step.detail = "the presence query reports " + std::to_string(cards) + (cards == 1 ? " card" : " cards");
            return step;
        }
        step.ok = false;
        step.detail = Failure();
        AddDriverNotes(step, "to do: check that the device at address " + std::to_string(m_instrument.Address()) +
                                 " is the Zentra mainframe; clear it (valdina-cli clear) or switch it off and on");
        return step;
    }

    CInstrument& m_instrument;
    std::ostream& m_out;
    bool m_failed = false;
    bool m_cannotSenseListeners = false;
    DoctorStep m_device;          // the board device step, whose advice later steps may share
    ConfigFileChoice m_config;    // the configuration file the library reads
    bool m_configKnown = false;   // m_config is the real library's, not a guess
    GpibConf m_conf;              // what that file configures, as the library reads it
};

} // namespace

int RunDoctor(CInstrument& instrument, std::ostream& out)
{
    return CDoctor(instrument, out).Run();
}
