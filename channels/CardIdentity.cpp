#include "CardIdentity.h"

#include <cstring>

#include "CChannelInfo.h"
#include "CInstrument.h"
#include "ChannelColumns.h"
#include "IChannelRows.h"
#include "VerifyAll.h"

bool IsFailingSerial(std::string_view serial)
{
    return serial == "00000001";
}

std::int32_t ScannedStatus(std::string_view serial)
{
    return IsFailingSerial(serial) ? StatusFail : StatusUnknown;
}

bool ReadCardIdentity(CInstrument& instrument, int channel, char (&serial)[16], char (&model)[16])
{
    std::memset(serial, 0, sizeof serial);
    std::memset(model, 0, sizeof model);
    if (!instrument.Select(channel) || !instrument.QuerySN(serial))
        return false;
    instrument.QueryModel(model);
    return true;
}

IdentityCheck RecheckCardIdentity(CInstrument& instrument, CChannelInfo& card, int channel, IChannelRows& rows)
{
    IdentityCheck check;
    check.oldSerial = std::string(card.Serial());
    char serial[16];
    char model[16];
    check.read = ReadCardIdentity(instrument, channel, serial, model);
    if (!check.read)
        return check;
    if (std::memcmp(serial, card.m_szSerial, sizeof serial) == 0 && std::memcmp(model, card.m_szModel, sizeof model) == 0)
        return check;
    check.swapped = !check.oldSerial.empty() && std::memcmp(serial, card.m_szSerial, sizeof serial) != 0;
    std::memcpy(card.m_szSerial, serial, sizeof serial);
    std::memcpy(card.m_szModel, model, sizeof model);
    card.m_nStatus = ScannedStatus(card.Serial());
    card.m_strError.clear();
    card.m_checkedBlocks = card.m_validBlocks = 0;
    const int row = rows.FindChannelRow(channel);
    rows.SetRowText(row, kColumnSerial, std::string(card.Serial()));
    ShowCardVerdict(rows, row, card);
    return check;
}

std::string SwappedCardText(int channel, const IdentityCheck& check, std::string_view serial)
{
    return "Channel " + std::to_string(channel) + " now holds serial " + std::string(serial) + ", not "
        + check.oldSerial + " as the last scan found.";
}
