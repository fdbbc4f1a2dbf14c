// What only Windows has: the loader's error codes, the NI status exports of
// each architecture, and __stdcall routines found through GetProcAddress.

#include <windows.h>

#include <gtest/gtest.h>

#include "CInstrument.h"
#include "FakeDriver.h"
#include "CGpibBinding.h"

using gpib::CGpibBinding;

TEST(GpibBindingWin32, MissingDllFailsEveryOperationAsGpibErrorZeroWithTheLoadersCode)
{
    gpib::DriverNames names = gpib::kPlatformDriverNames;
    names.library = "valdina-absent-gpib.dll";
    CGpibBinding bus(names);
    CInstrument instrument(bus);
    EXPECT_EQ(instrument.IsListener(), 0);
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 0");
    EXPECT_EQ(instrument.DevClear(), 0);
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 0");
    EXPECT_EQ(instrument.Select(4), 0);
    EXPECT_EQ(instrument.ErrorText(), "GPIB error 0 (Send)");
    EXPECT_EQ(bus.Status().ibsta, gpib::ERR);
    EXPECT_EQ(bus.Status().iberr, gpib::EDVR);
    EXPECT_EQ(bus.Status().ibcnt, ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(bus.Status().ibcntl, ERROR_MOD_NOT_FOUND);
    EXPECT_FALSE(bus.IsLoaded());
}

TEST(GpibBindingWin32, DllWithoutTheArchitecturesCountExportIsUnloadedAndAbsent)
{
    // 32 bits: the variable user_ibcntl; 64 bits: the function Ibcnt.
    gpib::DriverNames names = gpib::kPlatformDriverNames;
    names.library = FAKE_DRIVER_NO_COUNT;
    CGpibBinding bus(names);
    bus.SendIFC(0);
    EXPECT_EQ(bus.Status().ibsta, gpib::ERR);
    EXPECT_EQ(bus.Status().iberr, gpib::EDVR);
    EXPECT_FALSE(bus.IsLoaded());
    EXPECT_EQ(GetModuleHandleA(FAKE_DRIVER_NO_COUNT), nullptr) << "library left loaded";
}

TEST(GpibBindingWin32, RoutinesAreExportedUndecoratedAndCalledWithTheirConvention)
{
    const HMODULE library = LoadLibraryA(FAKE_DRIVER);
    ASSERT_NE(library, nullptr);
    for (const char* routine : gpib::kRoutineNames)
        EXPECT_NE(GetProcAddress(library, routine), nullptr) << routine;
#ifndef _WIN64
    EXPECT_EQ(GetProcAddress(library, "_SendIFC@4"), nullptr) << "decorated __stdcall name";
#endif
    FreeLibrary(library);

    // A caller and a callee that disagree on who pops the arguments leave the
    // stack off by the argument size on every call: many calls of every routine
    // then crash or corrupt what the test reads back.
    FakeDriver fake(FAKE_DRIVER);
    CGpibBinding bus(fake.NiNames());
    const gpib::Addr4882_t list[2] = {29, gpib::NOADDR};
    for (int i = 0; i < 2000; ++i) {
        gpib::Addr4882_t found[1] = {0};
        char reply[4] = {};
        short flag = 0;
        short statusByte = 0;
        bus.SendIFC(0);
        bus.DevClear(0, 29);
        bus.FindLstn(0, list, found, 1);
        ASSERT_EQ(found[0], 29);
        bus.Send(0, 29, "Q2", 2, gpib::NLend);
        ASSERT_EQ(bus.Status().ibcnt, 2);
        bus.Receive(0, 29, reply, sizeof reply, gpib::STOPend);
        ASSERT_EQ(bus.Status().ibcntl, 4);
        bus.WaitSRQ(0, &flag);
        ASSERT_EQ(flag, 1);
        bus.ReadStatusByte(0, 29, &statusByte);
        ASSERT_EQ(statusByte, 0x40);
        ASSERT_EQ(bus.Status().ibsta, 0x0100);
        fake.Reset();
    }
}
