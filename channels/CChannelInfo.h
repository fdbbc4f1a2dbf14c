#pragma once
// What the system knows about one card position of the mainframe.

#include <cstdint>
#include <string>
#include <string_view>

#include "ChannelStatus.h"
#include "EepromImage.h"

class CInstrument;

class CChannelInfo {
public:
    CChannelInfo() = default;
    CChannelInfo(const CChannelInfo&) = default;
    CChannelInfo& operator=(const CChannelInfo&) = default;
    virtual ~CChannelInfo() = default;

    // "not present", "unknown", "reading", "Good" or "Fail"; static storage.
    const char* StatusText() const;
    // The serial and model texts as the card sent them: up to the first zero byte,
    // never past the field.
    std::string_view Serial() const;
    std::string_view Model() const;
    // Models "T208" and "T213" get a header-only check and no gain self-test.
    bool IsExemptModel() const;
    // Judges an image by its block checksums; sets m_nStatus and m_strError.
    bool CheckImage(const EepromImage& image);
    bool CheckBlock(const std::uint8_t* block, int length, const char* name);
    // Two gain steps on the selected card; may fail the card with an error text.
    // A test the bus kept from completing leaves the card "unknown", not "Good".
    bool GainSelfTest(CInstrument& instrument);

    std::int32_t m_nAddress = -1;
    std::int32_t m_nStatus = StatusNotPresent;
    char m_szSerial[16] = {};
    char m_szModel[16] = {};
    std::string m_strError;
    // The last image check's blocks, bit i for kEepromBlocks[i]: which were checked,
    // and of those which were valid. Both 0 until an image is checked.
    std::uint8_t m_checkedBlocks = 0;
    std::uint8_t m_validBlocks = 0;
};

// Display text of any state value.
const char* StatusText(std::int32_t status);
