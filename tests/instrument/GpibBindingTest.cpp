#include <filesystem>
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif
#include <gtest/gtest.h>

#include "DriverProbe.h"
#include "FakeDriver.h"
#include "CGpibBinding.h"

namespace fs = std::filesystem;
using gpib::CGpibBinding;

namespace {

void CallEveryRoutine(CGpibBinding& bus)
{
    const gpib::Addr4882_t list[2] = {29, gpib::NOADDR};
    gpib::Addr4882_t result[1] = {0};
    char buffer[8] = {};
    short flag = 0;
    bus.SendIFC(0);
    bus.DevClear(0, 29);
    bus.FindLstn(0, list, result, 1);
    bus.Send(0, 29, "Q2", 2, gpib::NLend);
    bus.Receive(0, 29, buffer, sizeof buffer, gpib::STOPend);
    bus.WaitSRQ(0, &flag);
    bus.ReadStatusByte(0, 29, &flag);
}

// The loader's own code in the counts, as the driver would leave a system error
// there. glibc's dlopen and dlsym give theirs only in dlerror's text (errno stays
// as it was), so on Linux the counts are 0 and the cause carries the text.
#ifdef _WIN32
constexpr long kFileMissing = ERROR_MOD_NOT_FOUND;
constexpr long kSymbolMissing = ERROR_PROC_NOT_FOUND;
#else
constexpr long kFileMissing = 0;
constexpr long kSymbolMissing = 0;
#endif

void ExpectDriverUnreachable(const gpib::DriverStatus& status, long loaderCode)
{
    EXPECT_EQ(status.ibsta, gpib::ERR);
    EXPECT_EQ(status.iberr, gpib::EDVR);
    EXPECT_EQ(status.ibcnt, loaderCode);
    EXPECT_EQ(status.ibcntl, loaderCode);
}

} // namespace

TEST(GpibBinding, MissingLibraryFailsEveryRoutineWithTheLoaderError)
{
    CGpibBinding bus({"/nonexistent/valdina/libgpib.so.0", "ibsta", "iberr", "ibcntl", true});
    using Call = void (*)(CGpibBinding&);
    const Call calls[] = {
        [](CGpibBinding& b) { b.SendIFC(0); },
        [](CGpibBinding& b) { b.DevClear(0, 29); },
        [](CGpibBinding& b) {
            const gpib::Addr4882_t list[2] = {29, gpib::NOADDR};
            gpib::Addr4882_t result[1] = {0};
            b.FindLstn(0, list, result, 1);
        },
        [](CGpibBinding& b) { b.Send(0, 29, "S 1", 3, gpib::NLend); },
        [](CGpibBinding& b) {
            char buffer[4];
            b.Receive(0, 29, buffer, 4, gpib::STOPend);
        },
        [](CGpibBinding& b) {
            short flag = 7;
            b.WaitSRQ(0, &flag);
            EXPECT_EQ(flag, 7) << "the driver routine must not be called";
        },
        [](CGpibBinding& b) {
            short stb = 7;
            b.ReadStatusByte(0, 29, &stb);
            EXPECT_EQ(stb, 7);
        },
    };
    for (const Call call : calls) {
        call(bus);
        ExpectDriverUnreachable(bus.Status(), kFileMissing);
        EXPECT_FALSE(bus.IsLoaded());
    }
#ifndef _WIN32
    // What the operator is told is the loader's own sentence for that file.
    EXPECT_EQ(DriverCauseText(bus.Status(), bus, 0),
              "driver: /nonexistent/valdina/libgpib.so.0: cannot open shared object file: No such file or directory");
#endif
}

TEST(GpibBinding, LoadingIsTriedAgainAfterAFailure)
{
    const fs::path dir = fs::temp_directory_path() / ("valdina-binding-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path driver = dir / "libgpib.so.0";
    fs::remove(driver);
    const std::string path = driver.string();

    CGpibBinding bus({path.c_str(), "ibsta", "iberr", "ibcntl", true});
    bus.Send(0, 29, "S 1", 3, gpib::NLend);
    ExpectDriverUnreachable(bus.Status(), kFileMissing);

    fs::copy_file(FAKE_DRIVER, driver);
    bus.Send(0, 29, "S 1", 3, gpib::NLend);
    EXPECT_TRUE(bus.IsLoaded());
    EXPECT_EQ(bus.Status().ibsta, 0x0100);
    EXPECT_EQ(bus.Status().ibcntl, 3);
    std::error_code ignored;  // Windows keeps a loaded library's file
    fs::remove_all(dir, ignored);
}

TEST(GpibBinding, LibraryWithoutAStatusExportIsUnloadedAndTreatedAsAbsent)
{
    CGpibBinding bus({FAKE_DRIVER_NO_COUNT, "ibsta", "iberr", "ibcntl", true});
    CallEveryRoutine(bus);
    ExpectDriverUnreachable(bus.Status(), kSymbolMissing);
    EXPECT_FALSE(bus.IsLoaded());
#ifdef _WIN32
    EXPECT_EQ(GetModuleHandleA(FAKE_DRIVER_NO_COUNT), nullptr) << "library left loaded";
#else
    EXPECT_EQ(dlopen(FAKE_DRIVER_NO_COUNT, RTLD_NOW | RTLD_NOLOAD), nullptr) << "library left loaded";
#endif
}

TEST(GpibBinding, MissingRoutineFailsOnlyItselfAndKeepsTheLibrary)
{
    FakeDriver fake(FAKE_DRIVER_NO_RECEIVE);
    CGpibBinding bus(fake.LinuxNames());

    char buffer[4] = {'k', 'e', 'e', 'p'};
    bus.Receive(0, 29, buffer, 4, gpib::STOPend);
    ExpectDriverUnreachable(bus.Status(), kSymbolMissing);
    EXPECT_TRUE(bus.IsLoaded());
    EXPECT_EQ(buffer[0], 'k');

    bus.Send(0, 29, "Q2", 2, gpib::NLend);
    EXPECT_EQ(bus.Status().ibsta, 0x0100);
    EXPECT_EQ(bus.Status().ibcnt, 2);

    bus.Receive(0, 29, buffer, 4, gpib::STOPend);
    ExpectDriverUnreachable(bus.Status(), kSymbolMissing);
    EXPECT_EQ(fake.Log(), "Send:29:Q2:" + std::to_string(gpib::NLend));
}

class GpibBindingNames : public testing::TestWithParam<bool> {};

TEST_P(GpibBindingNames, StatusIsCopiedAfterEveryCall)
{
    FakeDriver fake(FAKE_DRIVER);
    const bool niNames = GetParam();
    CGpibBinding bus(niNames ? fake.NiNames() : fake.LinuxNames());

    fake.Push(kFakeDevClear, 0x8000 | 0x0100, 7, 123456, 0);
    bus.DevClear(0, 29);
    EXPECT_EQ(bus.Status().ibsta, 0x8100);
    EXPECT_EQ(bus.Status().iberr, 7);
    EXPECT_EQ(bus.Status().ibcnt, 123456);
    EXPECT_EQ(bus.Status().ibcntl, 123456);

    bus.Send(0, 29, "C1D?", 4, gpib::NLend);
    EXPECT_EQ(bus.Status().ibsta, 0x0100);
    EXPECT_EQ(bus.Status().iberr, 0);
    EXPECT_EQ(bus.Status().ibcnt, 4);
    EXPECT_EQ(bus.Status().ibcntl, 4);
}

INSTANTIATE_TEST_SUITE_P(BothNameSets, GpibBindingNames, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "NI" : "LinuxGpib"; });
