// valdina-cli doctor and the driver's cause beside the bus errors, run as the
// operator runs them: the built program against the simulated mainframe, the
// fake driver libraries found through LD_LIBRARY_PATH, and real files.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "CliProcess.h"
#include "ExitCode.h"
#include "SimScenario.h"
#include "TextLines.h"

using nlohmann::json;
using valdina::test::SimScenario;
using valdina::test::SplitLines;
namespace fs = std::filesystem;

namespace {

// Sets a variable for one scope; the child processes inherit it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class TempFolder {
public:
    TempFolder()
    {
        char name[] = "/tmp/valdina-doctor-XXXXXX";
        m_path = mkdtemp(name);
    }
    ~TempFolder() { fs::remove_all(m_path); }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    std::string str() const { return m_path.string(); }

private:
    fs::path m_path;
};

// How many lines of `out` begin with `start`.
int Lines(const std::string& out, const std::string& start)
{
    int count = 0;
    for (const std::string& line : SplitLines(out))
        count += line.rfind(start, 0) == 0 ? 1 : 0;
    return count;
}

struct DoctorCase {
    const char* what;
    json scenario;
    std::vector<std::string> options;
    const char* library;    // folder holding the child's libgpib.so.0; null: the simulator
    std::string failLine;   // the one FAIL line, from its start; empty: every step passes
    std::string note;       // a line that must be there too
};

} // namespace

TEST(CliDoctor, EachBrokenStepIsTheOneFailLineWithWhatToDo)
{
    TempFolder files;
    std::ofstream(files / "gpib.conf") << "interface { minor = 0 board_type = \"ni_pci\" pad = 0 master = yes }\n";
    std::ofstream(files / "gpib0");
    fs::create_directory(files / "devices");
    fs::create_directory(files / "nolib");
    fs::create_directory(files / "noreceive");
    fs::create_directory(files / "nocount");
    fs::create_symlink(FAKE_DRIVER_NO_RECEIVE, files / "noreceive/libgpib.so.0");
    fs::create_symlink(FAKE_DRIVER_NO_COUNT, files / "nocount/libgpib.so.0");
    const json cards = {{"cards", {{{"channel", 0}}, {{"channel", 17}}, {{"channel", 255}}}}};
    const auto with = [&](json extra) {
        json scenario = cards;
        scenario.update(extra);
        return scenario;
    };

    const std::vector<DoctorCase> cases{
        {"mainframe answering", cards, {}, nullptr, "",
         "OK    mainframe answers: the presence query reports 3 cards"},
        {"mainframe at another address", with({{"address", 5}}), {"--address", "5"}, nullptr, "",
         "OK    mainframe listens: a device listens at address 5"},
        {"mainframe off", with({{"off_bus", true}}), {}, nullptr,
         "FAIL  mainframe listens: GPIB device 29 not found during \"IsListener\"", "      to do: switch the mainframe on"},
        {"board device missing", with({{"board", "missing"}}), {}, nullptr,
         "FAIL  board 0: GPIB error 0 during \"SendIFC\"", "      driver: No such file or directory"},
        {"board device denied", with({{"board", "denied"}}), {}, nullptr,
         "FAIL  board 0: GPIB error 0 during \"SendIFC\"", "      to do: this user may not open /dev/gpib0"},
        {"no such board", cards, {"--board", "2"}, nullptr, "FAIL  board 2: GPIB error 0",
         "      to do: /dev/gpib2 is missing"},
        {"adapter without listener sensing", with({{"listener_sensing", false}}), {}, nullptr,
         "FAIL  mainframe listens: board 0 cannot sense listeners (FindLstn fails with ECAP)",
         "OK    mainframe answers: the presence query reports 3 cards"},
        {"presence query unanswered",
         with({{"faults", {{{"command", "QueryPresent"}, {"kind", "timeout"}}}}}), {}, nullptr,
         "FAIL  mainframe answers: GPIB error 6 (Receive) during \"QueryPresent\"", "      to do: check that the device"},
        {"no driver library", cards, {}, "nolib",
         "FAIL  driver library: libgpib.so.0: cannot open shared object file",
         "      looked in: LD_LIBRARY_PATH (" + files / "nolib" + ")"},
        {"driver lacks a routine", cards, {}, "noreceive",
         "FAIL  driver exports: " + files / "noreceive/libgpib.so.0" + " lacks Receive", "      to do: "},
        {"driver lacks a status variable", cards, {}, "nocount",
         "FAIL  driver exports: " + files / "nocount/libgpib.so.0" + " lacks ibcntl", "      to do: "},
    };
    for (const DoctorCase& c : cases) {
        SCOPED_TRACE(c.what);
        SimScenario sim(c.scenario);
        std::optional<ScopedEnv> searchPath, config, devices;
        if (c.library != nullptr) {
            // Real drivers need both files; give them good ones so the library is the one fault.
            searchPath.emplace("LD_LIBRARY_PATH", files / c.library);
            config.emplace("IB_CONFIG", files / "gpib.conf");
            devices.emplace("VALDINA_GPIB_DEVICE_DIR", files.str());
        }
        std::vector<std::string> arguments{"doctor"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliRun run = RunCli(arguments);

        EXPECT_EQ(run.exitCode, c.failLine.empty() ? kExitOk : kExitFailed) << run.out << run.err;
        EXPECT_EQ(Lines(run.out, "FAIL  "), c.failLine.empty() ? 0 : 1) << run.out;
        EXPECT_EQ(Lines(run.out, c.failLine.empty() ? "OK    " : c.failLine), c.failLine.empty() ? 7 : 1) << run.out;
        EXPECT_EQ(Lines(run.out, c.note), 1) << run.out;
        EXPECT_EQ(Lines(run.out, "OK    configuration file: none needed by the simulated driver"), !c.library)
            << run.out;
    }
}

TEST(CliDoctor, BoardFilesAreCheckedWhereTheEnvironmentPoints)
{
    TempFolder files;
    SimScenario sim({{"base", "default"}});
    {
        ScopedEnv config("IB_CONFIG", files / "missing.conf");
        ScopedEnv devices("VALDINA_GPIB_DEVICE_DIR", files.str());
        const CliRun run = RunCli({"doctor"});
        EXPECT_EQ(run.exitCode, kExitFailed);
        EXPECT_EQ(Lines(run.out, "FAIL  "), 2) << run.out;
        EXPECT_EQ(Lines(run.out, "FAIL  configuration file: " + files / "missing.conf" + " (from IB_CONFIG) does not exist"), 1)
            << run.out;
        EXPECT_EQ(Lines(run.out, "FAIL  board device: " + files / "gpib0" + " cannot be opened: No such file or directory"), 1)
            << run.out;
    }

    // Files this user may not open. Root opens anything, so then the program
    // runs without the capabilities that override file permissions.
    std::ofstream(files / "gpib0");
    std::ofstream(files / "gpib.conf");
    chmod((files / "gpib0").c_str(), 0);
    chmod((files / "gpib.conf").c_str(), 0);
    ScopedEnv devices("VALDINA_GPIB_DEVICE_DIR", files.str());
    ScopedEnv config("IB_CONFIG", files / "gpib.conf");
    std::string out;
    if (geteuid() == 0) {
        const std::string command =
            "setpriv --bounding-set=-all " VALDINA_CLI_PATH " doctor 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char buffer[512];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        EXPECT_EQ(WEXITSTATUS(pclose(pipe)), kExitFailed) << out;
    } else {
        const CliRun run = RunCli({"doctor"});
        EXPECT_EQ(run.exitCode, kExitFailed);
        out = run.out;
    }
    EXPECT_EQ(Lines(out, "FAIL  board device: " + files / "gpib0" + " cannot be opened: Permission denied"), 1) << out;
    // A node of group root needs a group of its own; joining root's is no answer.
    EXPECT_EQ(Lines(out, geteuid() == 0 ? "      to do: " + files / "gpib0" + " belongs to group root: give it a group"
                                        : std::string("      to do: this user may not open /dev/gpib0: join the group")),
              1) << out;
    EXPECT_EQ(Lines(out, "FAIL  configuration file: " + files / "gpib.conf" + " (from IB_CONFIG) cannot be read: "
                             "Permission denied"), 1) << out;
}

// The fixed message, the driver's cause for EDVR, the error's name and where to look next.
TEST(CliDriverCause, DriverFailuresAddTheCauseTheNameAndDoctor)
{
    const std::string doctor =
        "to do: run valdina-cli doctor, which checks the driver, the board and the mainframe step by step";
    TempFolder empty, fake;
    fs::create_symlink(FAKE_DRIVER_NO_RECEIVE, fake / "libgpib.so.0");
    struct Row {
        const char* what;
        json scenario;            // null: no simulator scenario
        std::string library;      // folder on LD_LIBRARY_PATH; empty: the simulator
        std::vector<std::string> arguments;
        std::vector<std::string> err;  // without the --trace lines
        std::string traced = {};       // a --trace line that must be there
    };
    const std::vector<Row> rows{
        {"board device missing", {{"base", "default"}, {"board", "missing"}}, "", {"scan"},
         {"GPIB error 0 during \"IsListener\"", "driver: No such file or directory",
          "GPIB error 0 is EDVR: system error", doctor}},
        {"no driver library", nullptr, empty.str(), {"peek", "3", "0"},
         {"GPIB error 0 (Send) during \"RdEe1\"",
          "driver: libgpib.so.0: cannot open shared object file: No such file or directory",
          "GPIB error 0 is EDVR: system error", doctor}},
        {"driver lacks a routine", nullptr, fake.str(), {"scan"},
         {"GPIB error 0 (Receive) during \"QueryPresent\"", "driver: " + fake / "libgpib.so.0" + " lacks Receive",
          "GPIB error 0 is EDVR: system error", doctor}},
        // A call that never reached a driver is traced as such, not as the driver's answer.
        {"driver lacks a routine, traced", nullptr, fake.str(), {"scan", "--trace"},
         {"GPIB error 0 (Receive) during \"QueryPresent\"", "driver: " + fake / "libgpib.so.0" + " lacks Receive",
          "GPIB error 0 is EDVR: system error", doctor},
         "trace: driver Receive board=0 address=29 not reached, the library lacks it: ibsta=0x8000 iberr=0 EDVR"},
        {"no driver library, traced", nullptr, empty.str(), {"clear", "--trace"},
         {"GPIB error 0 during \"DevClear\"",
          "driver: libgpib.so.0: cannot open shared object file: No such file or directory",
          "GPIB error 0 is EDVR: system error", doctor},
         "trace: driver DevClear board=0 address=29 not reached, no driver library loaded: ibsta=0x8000 iberr=0 EDVR"},
        // Not a system error: no cause, but the name.
        {"no listener", {{"base", "default"}, {"off_bus", true}}, "", {"clear"},
         {"GPIB error 2 during \"DevClear\"", "GPIB error 2 is ENOL: no listener on the bus", doctor}},
        // Not the driver's failure at all: the message stands alone.
        {"mainframe silent", {{"base", "default"}, {"faults", {{{"command", "QueryPresent"}, {"kind", "no_srq"}}}}}, "",
         {"scan"}, {"SRQ not asserted during \"QueryPresent\""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::optional<SimScenario> sim;
        if (!row.scenario.is_null())
            sim.emplace(row.scenario);
        std::optional<ScopedEnv> searchPath;
        if (!row.library.empty())
            searchPath.emplace("LD_LIBRARY_PATH", row.library);
        const CliRun run = RunCli(row.arguments);
        EXPECT_EQ(run.exitCode, kExitFailed);
        std::vector<std::string> err;
        for (const std::string& line : SplitLines(run.err)) {
            if (line.rfind("trace: ", 0) != 0)
                err.push_back(line);
        }
        EXPECT_EQ(err, row.err);
        if (!row.traced.empty()) {
            EXPECT_EQ(Lines(run.err, row.traced), 1) << run.err;
        }
        // A scan that failed at its start prints no bare table header.
        EXPECT_EQ(run.out, "");
    }
}

// linux-gpib's own library (built from its sources into LINUX_GPIB_DIR) as a
// technician meets it: no configuration, no board section, a node no driver owns,
// a folder or an empty IB_CONFIG, a file this user may not read, linux-gpib's own
// template; and --trace, and a scan after the board's device failed to open.
TEST(CliDoctor, LinuxGpibsOwnLibraryFaultsNameTheirCause)
{
    const std::string library = LINUX_GPIB_DIR "/lib";
    if (!fs::exists(library + "/libgpib.so.0"))
        GTEST_SKIP() << "linux-gpib's library is not built; ../shared/tools/build-linux-gpib " LINUX_GPIB_DIR;
    TempFolder files;
    // Where an unprivileged user can reach the files, so that only a file's own mode keeps them out.
    fs::permissions(files.str(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    std::ofstream(files / "gpib.conf") << "interface { minor = 0 board_type = \"ni_pci\" pad = 0 master = yes }\n";
    std::ofstream(files / "broken.conf") << "interface { minor = 0 board_type =\n";
    std::ofstream(files / "huge.conf") << "interface { minor = 99999999999 board_type = \"ni_pci\" }\n";
    std::ofstream(files / "hash.conf") << "# board 0\ninterface { minor = 0 board_type = \"ni_pci\" }\n";
    std::ofstream(files / "crlf.conf") << "interface { minor = 0 board_type = \"ni_pci\" }\r\n";
    // A device's minor names the board it sits on, not a board; an unclosed comment hides the rest.
    std::ofstream(files / "devices.conf") << "interface { minor = 0 board_type = \"ni_pci\" }\n"
                                             "device { minor = 2 name = \"dvm\" pad = 7 }\n"
                                             "/* unclosed\ninterface { minor = 3 }\n";
    std::ofstream(files / "locked.conf") << "interface { minor = 0 board_type = \"ni_pci\" pad = 0 master = yes }\n";
    chmod((files / "locked.conf").c_str(), 0600);
    // The template from the very sources the library is built from.
    ASSERT_EQ(std::system(("tar -xzOf " LINUX_GPIB_SOURCES " linux-gpib-user/util/templates/gpib.conf > " +
                           files / "template.conf").c_str()), 0);
    ASSERT_EQ(mknod((files / "gpib0").c_str(), S_IFCHR | 0666, makedev(160, 0)), 0) << "needs root for mknod";
    // The mode keeps out any user but its owner; root runs as nobody to meet it.
    std::vector<std::string> unprivileged;
    if (geteuid() == 0)
        unprivileged = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--inh-caps=-all"};
    else
        chmod((files / "locked.conf").c_str(), 0);
    struct Row {
        const char* what;
        std::string config;     // IB_CONFIG
        std::vector<std::string> options;
        std::string note;       // a line that must be there
        int times = 1;          // under the device step and again under the board step
        bool onErr = false;     // the note is on standard error
        bool locked = false;    // run as a user who may not read locked.conf
    };
    const std::string folder = files.str();
    const std::vector<Row> rows{
        {"no configuration file", files / "missing.conf", {},
         "      to do: the library could not open " + files / "missing.conf"},
        // The library's own reason, which it writes to standard error, under the step.
        {"configuration file it cannot parse", files / "broken.conf", {},
         "      library said: libgpib: failed to parse configuration file"},
        {"configuration file it cannot parse", files / "broken.conf", {},
         "      to do: mend line 2 of " + files / "broken.conf" + " (see the configuration file step)"},
        // Under the device step first, where a missing /dev/gpib3 would otherwise ask for the module.
        {"board without a section", files / "gpib.conf", {"--board", "3"},
         "      to do: no board section with minor = 3 in " + files / "gpib.conf" + "; configured: minor 0", 2},
        {"node no driver owns", files / "gpib.conf", {}, "      driver: " + files / "gpib0" +
         " cannot be opened: No such device or address"},
        {"node no driver owns", files / "gpib.conf", {}, "      to do: no kernel module serves /dev/gpib0", 2},
        // The library ends the program reading a folder: the steps so far, and its words, are out.
        {"a folder as IB_CONFIG", folder, {},
         "FAIL  configuration file: " + folder + " (from IB_CONFIG) is a folder, not a file"},
        {"a folder as IB_CONFIG", folder, {}, "      library said: input in flex scanner failed"},
        {"a minor beyond any number", files / "huge.conf", {},
         "FAIL  configuration file: " + files / "huge.conf" + " (from IB_CONFIG), line 1: minor = 99999999999 is out "
         "of range: the library knows boards 0 to 15"},
        {"a # comment, which the library does not know", files / "hash.conf", {},
         "      library said: libgpib: failed to parse configuration file"},
        {"a # comment, which the library does not know", files / "hash.conf", {},
         "FAIL  configuration file: " + files / "hash.conf" + " (from IB_CONFIG), line 1: '#' (the file's comments "
         "are /* ... */ only) where a section (interface or device) should begin"},
        {"a Windows line end", files / "crlf.conf", {},
         "FAIL  configuration file: " + files / "crlf.conf" + " (from IB_CONFIG), line 1: a carriage return"},
        {"a Windows line end", files / "crlf.conf", {}, "      library said: libgpib: failed to parse configuration file"},
        {"a device section's minor", files / "devices.conf", {"--board", "2"},
         "      to do: no board section with minor = 2 in " + files / "devices.conf" + "; configured: minor 0", 2},
        {"a section in an unclosed comment", files / "devices.conf", {"--board", "3"},
         "      to do: no board section with minor = 3 in " + files / "devices.conf" + "; configured: minor 0", 2},
        // Comments and device sections name no board; the commented-out minor = 1 section is none.
        {"linux-gpib's template", files / "template.conf", {"--board", "1"},
         "      to do: no board section with minor = 1 in " + files / "template.conf" + "; configured: minor 0", 2},
        {"a file this user may not read", files / "locked.conf", {},
         "      to do: this user may not read " + files / "locked.conf", 1, false, true},
        {"IB_CONFIG set but empty", "", {},
         "      to do: IB_CONFIG is set but empty, so the library could not open a file named \"\""},
        {"traced", files / "gpib.conf", {"--trace"}, "trace: driver SendIFC board=0 ibsta=0x8000 iberr=0 EDVR", 1,
         true},
        // Not doctor: the scan names the open's own error, not the descriptor the library never got.
        {"scan after a failed open", files / "gpib.conf", {"scan"},
         "driver: " + files / "gpib0" + " cannot be opened: No such device or address", 1, true},
    };
    ScopedEnv searchPath("LD_LIBRARY_PATH", library);
    ScopedEnv devices("VALDINA_GPIB_DEVICE_DIR", files.str());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScopedEnv config("IB_CONFIG", row.config);
        std::vector<std::string> arguments = row.options;
        if (arguments.empty() || arguments[0] != "scan")
            arguments.insert(arguments.begin(), "doctor");
        const CliRun run = RunCli(arguments, {}, {}, row.locked ? unprivileged : std::vector<std::string>{});
        EXPECT_EQ(run.exitCode, kExitFailed) << run.err;
        EXPECT_EQ(Lines(row.onErr ? run.err : run.out, row.note), row.times) << run.out << run.err;
        // The board step never repeats the bare descriptor error the library leaves behind.
        EXPECT_EQ(Lines(run.out, "      driver: Bad file descriptor"), 0) << run.out;
        EXPECT_EQ(Lines(run.err, "driver: Bad file descriptor"), 0) << run.err;
        // Trace lines are the program's own, never what the library said.
        EXPECT_EQ(Lines(run.out, "      library said: trace"), 0) << run.out;
    }
}
