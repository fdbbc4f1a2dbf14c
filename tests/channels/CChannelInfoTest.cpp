// Records, their state texts, the exemption test and the block checksum checks.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ChannelTable.h"
#include "EepromLayout.h"

namespace {

CChannelInfo WithModel(const char* model, std::size_t length)
{
    CChannelInfo info;
    std::memcpy(info.m_szModel, model, length);
    return info;
}

CChannelInfo WithModel(const char* model)
{
    return WithModel(model, std::strlen(model));
}

// Makes block `name` of `image` invalid by adding one to its first byte.
void Spoil(EepromImage& image, const char* name)
{
    for (const auto& block : kEepromBlocks) {
        if (std::string(block.name) == name)
            ++image[static_cast<std::size_t>(block.offset)];
    }
}

constexpr int kGapOffsets[] = {20, 21, 22, 23, 200, 201, 202, 203, 280, 281, 282, 283, 320, 321, 322, 323};

} // namespace

TEST(ChannelTable, FreshTableHoldsAbsentRecords)
{
    const ChannelTable table{};
    for (const CChannelInfo& info : table) {
        EXPECT_EQ(info.m_nAddress, -1);
        EXPECT_EQ(info.m_nStatus, StatusNotPresent);
        EXPECT_EQ(std::string(info.m_szSerial), "");
        EXPECT_EQ(std::string(info.m_szModel), "");
        EXPECT_EQ(info.m_strError, "");
        EXPECT_STREQ(info.StatusText(), "not present");
    }
}

TEST(ChannelInfo, StatusTextOfEveryState)
{
    const char* const expected[] = {"not present", "unknown", "reading", "Good", "Fail"};
    for (int status = StatusNotPresent; status <= StatusFail; ++status) {
        CChannelInfo info;
        info.m_nStatus = status;
        EXPECT_STREQ(info.StatusText(), expected[status]);
        EXPECT_STREQ(StatusText(status), expected[status]);
    }
    // A value outside the states names nothing rather than reading past the table.
    EXPECT_STREQ(StatusText(5), "");
    EXPECT_STREQ(StatusText(-1), "");
}

TEST(ChannelInfo, ExemptModelsByTheirFirstFourBytes)
{
    EXPECT_TRUE(WithModel("T208").IsExemptModel());
    EXPECT_TRUE(WithModel("T213").IsExemptModel());
    EXPECT_TRUE(WithModel("T208XYZ").IsExemptModel());
    EXPECT_TRUE(WithModel("T213\x01\xFF", 6).IsExemptModel());
    // All 16 bytes used, no terminator: still only the first four count.
    EXPECT_TRUE(WithModel("T208ABCDEFGHIJKL", 16).IsExemptModel());

    EXPECT_FALSE(WithModel("T20").IsExemptModel());
    EXPECT_FALSE(WithModel("").IsExemptModel());
    EXPECT_FALSE(WithModel("t208").IsExemptModel());
    EXPECT_FALSE(WithModel("T209").IsExemptModel());
    EXPECT_FALSE(WithModel("U213").IsExemptModel());
    EXPECT_FALSE(WithModel("T2 08").IsExemptModel());
    EXPECT_FALSE(WithModel("XT208").IsExemptModel());
}

TEST(ChannelInfo, CheckBlockSumsBytesModulo256)
{
    CChannelInfo info;
    info.m_strError = "earlier";
    const std::uint8_t wraps[] = {0x80, 0x80};
    EXPECT_TRUE(info.CheckBlock(wraps, 2, "gain"));
    EXPECT_EQ(info.m_strError, "earlier");   // a valid block leaves the text alone

    const std::uint8_t off[] = {0xFF, 0x02};
    EXPECT_FALSE(info.CheckBlock(off, 2, "Rcal"));
    EXPECT_EQ(info.m_strError, "invalid checksum (Rcal)");

    EXPECT_TRUE(info.CheckBlock(off, 0, "Vexc"));
    EXPECT_TRUE(info.CheckBlock(off, -3, "Vexc"));
    EXPECT_EQ(info.m_strError, "invalid checksum (Rcal)");
}

TEST(ChannelInfo, AllZeroImageIsGood)
{
    for (const char* model : {"", "T208"}) {
        CChannelInfo info = WithModel(model);
        info.m_nStatus = StatusReading;
        const EepromImage image{};
        EXPECT_TRUE(info.CheckImage(image));
        EXPECT_EQ(info.m_nStatus, StatusGood);
        EXPECT_EQ(info.m_strError, "");
    }
}

TEST(ChannelInfo, ErasedImageNamesLastCheckedBlock)
{
    EepromImage erased;
    erased.fill(0xFF);

    CChannelInfo full = WithModel("T100");
    EXPECT_FALSE(full.CheckImage(erased));
    EXPECT_EQ(full.m_nStatus, StatusFail);
    EXPECT_EQ(full.m_strError, "invalid checksum (Xmon)");

    CChannelInfo exempt = WithModel("T213");
    EXPECT_FALSE(exempt.CheckImage(erased));
    EXPECT_EQ(exempt.m_nStatus, StatusFail);
    EXPECT_EQ(exempt.m_strError, "invalid checksum (Header)");
}

TEST(ChannelInfo, EveryBlockIsCheckedAndTheLastInvalidOneIsNamed)
{
    for (std::size_t i = 0; i < kEepromBlocks.size(); ++i) {
        EepromImage image{};
        Spoil(image, kEepromBlocks[i].name);
        CChannelInfo info;
        EXPECT_FALSE(info.CheckImage(image)) << kEepromBlocks[i].name;
        EXPECT_EQ(info.m_strError, std::string("invalid checksum (") + kEepromBlocks[i].name + ")");
    }

    EepromImage image{};
    Spoil(image, "Header");
    Spoil(image, "Xmon");
    CChannelInfo info;
    EXPECT_FALSE(info.CheckImage(image));
    EXPECT_EQ(info.m_strError, "invalid checksum (Xmon)");

    EepromImage twoInside{};
    Spoil(twoInside, "Rcal");
    Spoil(twoInside, "gain");
    EXPECT_FALSE(info.CheckImage(twoInside));
    EXPECT_EQ(info.m_strError, "invalid checksum (Rcal)");
}

TEST(ChannelInfo, GapBytesNeverMatter)
{
    for (int offset : kGapOffsets) {
        for (int value : {0x01, 0x55, 0x80, 0xFF}) {
            EepromImage image{};
            image[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
            CChannelInfo info;
            EXPECT_TRUE(info.CheckImage(image)) << "offset " << offset << " value " << value;
            EXPECT_EQ(info.m_nStatus, StatusGood);
        }
    }
}

TEST(ChannelInfo, ExemptCardChecksHeaderOnly)
{
    for (const auto& block : kEepromBlocks) {
        if (std::string(block.name) == "Header")
            continue;
        EepromImage image{};
        Spoil(image, block.name);
        CChannelInfo info = WithModel("T208");
        EXPECT_TRUE(info.CheckImage(image)) << block.name;
        EXPECT_EQ(info.m_nStatus, StatusGood);
        EXPECT_EQ(info.m_strError, "");
    }
}

TEST(ChannelInfo, ValidImageClearsEarlierError)
{
    CChannelInfo info;
    info.m_nStatus = StatusFail;
    info.m_strError = "azro error during G1";
    EXPECT_TRUE(info.CheckImage(EepromImage{}));
    EXPECT_EQ(info.m_nStatus, StatusGood);
    EXPECT_EQ(info.m_strError, "");
}
