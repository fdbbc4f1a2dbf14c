// The EEPROM byte service: its ranges and refusals, and a byte written and read
// back on the simulated mainframe.

#include <gtest/gtest.h>

#include <algorithm>

#include "BusRig.h"
#include "CEepromBytes.h"

using valdina::test::SimScenario;
using valdina::test::TestImages;

TEST(EepromBytes, RangesRefuseInOneWording)
{
    EXPECT_EQ(EepromRangeRefusal(kEepromAddressRange, "0xFFFF", 0xFFFF), "");
    EXPECT_EQ(EepromRangeRefusal(kEepromAddressRange, "0x10000", 0x10000),
              "The address 0x10000 (0x10000) is outside the EEPROM address range 0x0000..0xFFFF.");
    // The value read is named too, since the text may not show it.
    EXPECT_EQ(EepromRangeRefusal(kEepromAddressRange, "-1", 0xFFFFFFFF),
              "The address -1 (0xFFFFFFFF) is outside the EEPROM address range 0x0000..0xFFFF.");
    EXPECT_EQ(EepromRangeRefusal(kEepromByteRange, "255", 0xFF), "");
    EXPECT_EQ(EepromRangeRefusal(kEepromByteRange, "256", 0x100),
              "The byte 256 (0x100) is outside the EEPROM byte range 0x00..0xFF.");
}

TEST(EepromBytes, ByteWrittenIsReadBackAloneAndInTheImage)
{
    const TestImages::Image image = TestImages::valid(7);
    BusRig rig(nlohmann::json({{"cards", {SimScenario::imageCard(37, image)}}}).dump());
    CEepromBytes eeprom(rig.instrument);

    ASSERT_TRUE(eeprom.WriteByte(37, 0x01F0, 0x5A));
    std::uint8_t byte = 0;
    ASSERT_TRUE(eeprom.ReadByte(37, 0x01F0, byte));
    EXPECT_EQ(byte, 0x5A);
    EepromImage read{};
    ASSERT_TRUE(eeprom.ReadImage(37, read));
    TestImages::Image expected = image;
    expected[0x01F0] = 0x5A;
    EXPECT_TRUE(std::equal(read.begin(), read.end(), expected.begin()));

    // A card that is not there: false, and the connection keeps the failure.
    EXPECT_FALSE(eeprom.ReadByte(38, 0, byte));
    EXPECT_EQ(rig.instrument.Operation(), "RdEe1");
}
