// The program keeps status variables named like the driver's. Its own copies
// are exported from this executable; the driver must still write only its
// own, or the program would see values it never copied.
#include <gtest/gtest.h>

#include "SimDriver.h"
#include "SimScenario.h"

extern "C" {
__attribute__((visibility("default"))) volatile int ibsta = 0x1234;
__attribute__((visibility("default"))) volatile int iberr = 77;
__attribute__((visibility("default"))) volatile long ibcntl = 99;
}

TEST(SimSymbols, DriverWritesItsOwnStatusVariablesOnly) {
    valdina::test::SimScenario sc({{"off_bus", true}});
    auto& d = SimDriver::get();
    const auto st = d.send("Q2");
    EXPECT_EQ(st.ibsta & 0x8000, 0x8000);
    EXPECT_EQ(st.iberr, 2);
    EXPECT_EQ(ibsta, 0x1234);
    EXPECT_EQ(iberr, 77);
    EXPECT_EQ(ibcntl, 99);
}
