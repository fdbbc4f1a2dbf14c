#include "PokeAction.h"

#include <cstring>

#include "CEepromBytes.h"
#include "CHistoryRun.h"
#include "CInstrument.h"
#include "CardIdentity.h"
#include "IOperatorMessages.h"
#include "ImageRestore.h"
#include "TextFormat.h"

ActionResult PokeCardByte(const CardActionFront& front, int channel, std::uint16_t address, std::uint8_t byte)
{
    const std::string at = FormatText("address 0x%04X of channel %d", static_cast<unsigned>(address), channel);
    const auto busFailure = [&](const std::string& what) {
        front.messages.ShowMessage(BusFailureText(front.instrument, what), MessageIcon::Exclamation);
    };
    // Before the card and the byte are read for the poke: the answer may take minutes.
    if (front.history != nullptr && !front.history->MayWrite(front.confirm))
        return {ActionOutcome::Refused, {}};
    char serial[16];
    char model[16];
    if (!ReadCardIdentity(front.instrument, channel, serial, model)) {
        front.instrument.ShowError();
        return {ActionOutcome::Failed, "Nothing was written."};
    }
    CEepromBytes eeprom(front.instrument);
    ByteWrite planned{address, 0, byte, std::nullopt};
    if (!eeprom.ReadByte(channel, address, planned.before)) {
        busFailure("Reading " + at);
        return {ActionOutcome::Failed, "Nothing was written."};
    }
    if (front.history != nullptr) {
        WriteStart start;
        start.channel = channel;
        start.serial = std::string(serial, strnlen(serial, sizeof serial));
        start.kind = "poke";
        start.bytes = {planned};
        if (!front.history->BeginWrite(start))
            return {ActionOutcome::Refused, {}};
    }
    const auto end = [&](const std::string& outcome) {
        if (front.history != nullptr)
            front.history->EndWrite({outcome, {planned}});
    };
    if (!eeprom.WriteByte(channel, address, byte)) {
        busFailure("Writing " + at);
        end("failed: the write did not complete");
        return {ActionOutcome::Failed, {}};
    }
    std::uint8_t readBack = 0;
    if (!eeprom.ReadByte(channel, address, readBack)) {
        busFailure("Reading back " + at);
        end("failed: not read back");
        return {ActionOutcome::Failed, {}};
    }
    planned.readBack = readBack;
    if (readBack != byte) {
        end("failed: reads back otherwise");
        front.messages.ShowMessage(ReadBackText(at, readBack, byte), MessageIcon::Exclamation);
        return {ActionOutcome::Failed, {}};
    }
    end("written");
    return {ActionOutcome::Done,
            FormatText("Channel %d, address 0x%04X: 0x%02X written over 0x%02X and read back.", channel,
                       static_cast<unsigned>(address), static_cast<unsigned>(byte),
                       static_cast<unsigned>(planned.before))};
}
