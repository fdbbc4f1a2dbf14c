// The mainframe's command set, each command one transaction under its own label.

#include <cstring>

#include "CInstrument.h"
#include "TextFormat.h"

namespace {

constexpr int kReadOneReplySize = 5;
constexpr int kReadFourReplySize = 8;
constexpr int kEepromDataOffset = 4;   // bytes 0..3 of an EEPROM reply carry no data

enum AccessCode { kReadOne = 0x20, kReadFour = 0x22, kWriteOne = 0xA0 };

constexpr int kCardChannels = 256;

// A frame holds the rack in two digits and the slot as a 16-bit mask: any other
// channel would address another card, or none.
std::string ChannelOutOfRange(int channel)
{
    if (channel >= 0 && channel < kCardChannels)
        return {};
    return FormatText("Channel %d is not 0..255", channel);
}

// An EEPROM access frame: direction "<" or ">", rack "%02X", slot mask "%04X",
// access code "%02X", address "%04X" and, for a write, the data byte "%02X".
// Built by hand: a whole image read formats 128 of them.
class AccessFrame {
public:
    AccessFrame(char direction, int channel, int code, std::uint16_t address)
    {
        m_text[0] = direction;
        m_length = 1;
        PutHex(static_cast<unsigned>(channel / 16), 2);
        PutHex(1u << (channel % 16), 4);
        PutHex(static_cast<unsigned>(code), 2);
        PutHex(address, 4);
    }
    AccessFrame& WithData(std::uint8_t data)
    {
        PutHex(data, 2);
        return *this;
    }
    const char* Text() const { return m_text; }
    int Length() const { return m_length; }

private:
    void PutHex(unsigned value, int digits)
    {
        for (int i = digits - 1; i >= 0; --i, value >>= 4)
            m_text[m_length + i] = "0123456789ABCDEF"[value & 0xF];
        m_length += digits;
        m_text[m_length] = '\0';
    }

    char m_text[16];
    int m_length = 0;
};

} // namespace

int CInstrument::Select(int channel)
{
    const std::string text = FormatText("S %d", channel);
    return Transact(text.c_str(), static_cast<int>(text.size()), nullptr, 0, "Select");
}

int CInstrument::QueryPresent(std::uint8_t* presence)
{
    const int ok = Transact("Q2", 2, presence, kPresenceMapSize, "QueryPresent");
    // Bytes the mainframe did not send are no cards, not whatever the buffer held.
    if (m_replyCount < kPresenceMapSize)
        std::memset(presence + m_replyCount, 0, static_cast<std::size_t>(kPresenceMapSize - m_replyCount));
    return ok;
}

int CInstrument::QuerySN(char* serial)
{
    return Transact("Q5 7", 4, serial, kIdentityReplySize, "QuerySN");
}

int CInstrument::QueryModel(char* model)
{
    return Transact("Q5 6", 4, model, kIdentityReplySize, "QueryModel");
}

int CInstrument::SetOpMode(std::uint8_t mode)
{
    const std::string text = FormatText("C1D%d", mode);
    return Transact(text.c_str(), static_cast<int>(text.size()), nullptr, 0, "SetOpMode");
}

int CInstrument::GetOpMode(std::uint8_t* mode)
{
    if (!Transact("C1D?", 4, mode, 1, "GetOpMode"))
        return 0;
    if (m_replyCount < 1)
        return Fail("Short reply (0 of 1 bytes)", "GetOpMode");
    return 1;
}

int CInstrument::SetGain(float gain)
{
    const std::string text = "G " + FormatFixed(static_cast<double>(gain), 2);
    return Transact(text.c_str(), static_cast<int>(text.size()), nullptr, 0, "SetGain");
}

int CInstrument::ReceiveEeprom(const char* frame, int length, std::uint8_t* reply, int replySize, const char* label)
{
    if (!Transact(frame, length, reply, replySize, label))
        return 0;
    // A short reply has no data where the data should be: never take it as EEPROM bytes.
    if (m_replyCount < replySize)
        return Fail(FormatText("Short reply (%d of %d bytes)", static_cast<int>(m_replyCount), replySize), label);
    return 1;
}

int CInstrument::RdEe1(int channel, std::uint16_t address, std::uint8_t* data)
{
    if (const std::string refused = ChannelOutOfRange(channel); !refused.empty())
        return Fail(refused, "RdEe1");
    std::uint8_t reply[kReadOneReplySize];
    const AccessFrame frame('<', channel, kReadOne, address);
    if (!ReceiveEeprom(frame.Text(), frame.Length(), reply, kReadOneReplySize, "RdEe1"))
        return 0;
    *data = reply[kEepromDataOffset];
    return 1;
}

int CInstrument::RdEe4(int channel, std::uint16_t address, std::uint8_t* data)
{
    if (const std::string refused = ChannelOutOfRange(channel); !refused.empty())
        return Fail(refused, "RdEe4");
    std::uint8_t reply[kReadFourReplySize];
    const AccessFrame frame('<', channel, kReadFour, address);
    if (!ReceiveEeprom(frame.Text(), frame.Length(), reply, kReadFourReplySize, "RdEe4"))
        return 0;
    std::memcpy(data, reply + kEepromDataOffset, 4);
    return 1;
}

int CInstrument::WrEe1(int channel, std::uint16_t address, std::uint8_t data)
{
    if (const std::string refused = ChannelOutOfRange(channel); !refused.empty())
        return Fail(refused, "WrEe1");
    AccessFrame frame('>', channel, kWriteOne, address);
    frame.WithData(data);
    return Transact(frame.Text(), frame.Length(), nullptr, 0, "WrEe1");
}

int CInstrument::ReadEepromImage(int channel, EepromImage& image)
{
    for (int address = 0; address < kEepromSize; address += 4) {
        if (!RdEe4(channel, static_cast<std::uint16_t>(address), image.data() + address))
            return 0;
    }
    return 1;
}
