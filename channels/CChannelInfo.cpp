#include "CChannelInfo.h"

#include <cstring>
#include <iterator>

#include "BlockSummary.h"
#include "CInstrument.h"
#include "EepromLayout.h"
#include "TextFormat.h"

const char* StatusText(std::int32_t status)
{
    static constexpr const char* kTexts[] = {"not present", "unknown", "reading", "Good", "Fail"};
    if (status < 0 || status >= static_cast<std::int32_t>(std::size(kTexts)))
        return "";
    return kTexts[status];
}

const char* CChannelInfo::StatusText() const
{
    return ::StatusText(m_nStatus);
}

namespace {

std::string_view FieldText(const char (&field)[16])
{
    return {field, strnlen(field, sizeof field)};
}

} // namespace

std::string_view CChannelInfo::Serial() const
{
    return FieldText(m_szSerial);
}

std::string_view CChannelInfo::Model() const
{
    return FieldText(m_szModel);
}

bool CChannelInfo::IsExemptModel() const
{
    // One 4-byte unit: the bytes after the code, and their terminator, play no part.
    static constexpr char kExempt[][4] = {{'T', '2', '0', '8'}, {'T', '2', '1', '3'}};
    for (const auto& code : kExempt) {
        if (std::memcmp(m_szModel, code, sizeof code) == 0)
            return true;
    }
    return false;
}

bool CChannelInfo::CheckBlock(const std::uint8_t* block, int length, const char* name)
{
    if (BlockSum(block, length) != 0) {
        m_strError = FormatText("invalid checksum (%s)", name);
        return false;
    }
    return true;
}

bool CChannelInfo::CheckImage(const EepromImage& image)
{
    m_strError.clear();
    // The header comes first in the layout; every later block is checked even after
    // an invalid one, so the text names the last invalid block.
    bool valid = true;
    m_checkedBlocks = 0;
    m_validBlocks = 0;
    unsigned bit = 1;
    for (const BlockSummary& entry : SummarizeBlocks(image, IsExemptModel())) {
        if (entry.checked) {
            const bool blockValid =
                CheckBlock(image.data() + entry.block.offset, entry.block.length, entry.block.name);
            valid = blockValid && valid;
            m_checkedBlocks |= bit;
            m_validBlocks |= blockValid ? bit : 0u;
        }
        bit <<= 1;
    }
    m_nStatus = valid ? StatusGood : StatusFail;
    return valid;
}

bool CChannelInfo::GainSelfTest(CInstrument& instrument)
{
    struct GainStep {
        float gain;
        const char* name;
    };
    static constexpr GainStep kSteps[] = {{1000.0f, "G1000"}, {1.0f, "G1"}};

    // A bus failure says nothing about the card, so it is not judged either way;
    // taken before the restore, which may overwrite the connection's failure.
    const auto notCompleted = [&] {
        m_nStatus = StatusUnknown;
        m_strError = "gain self-test not completed: " + instrument.ErrorMessage();
    };

    std::uint8_t savedMode = 0;
    if (!instrument.GetOpMode(&savedMode)) {
        notCompleted();
        return false;
    }

    // The mode goes back exactly when this test changed it, or tried to.
    const bool restoreDue = (savedMode & 1) == 0;
    const auto finish = [&](bool resultWithoutRestore) {
        return restoreDue ? instrument.SetOpMode(savedMode) != 0 : resultWithoutRestore;
    };

    if (restoreDue && !instrument.SetOpMode(static_cast<std::uint8_t>(savedMode | 1))) {
        notCompleted();
        return finish(false);
    }

    for (const GainStep& step : kSteps) {
        if (instrument.SetGain(step.gain))
            continue;
        const unsigned statusByte = static_cast<std::uint16_t>(instrument.StatusByte());
        const unsigned code = statusByte & 0x3F;
        if (code == 0) {
            notCompleted();
            return finish(false);
        }
        if (code == 0x10)
            m_strError = FormatText("azro error during %s", step.name);
        else
            m_strError = FormatText("instrument error (0x%02X) during %s", statusByte, step.name);
        const bool result = finish(false);
        m_nStatus = StatusFail;
        return result;
    }
    return finish(true);
}
