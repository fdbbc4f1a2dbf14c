#include "FaultReader.h"

namespace zsim {

FaultRule FaultReader::read(const JsonField& e) {
    e.requireObject({"command", "channel", "address", "gain", "kind", "bytes", "code", "stb", "iberr", "signal", "times",
                     "after", "serial", "model"});
    FaultRule rule;
    if (!e.has("command")) e.fail("a fault needs \"command\"");
    const auto label = e["command"].text();
    if (!commandKindFromLabel(label, rule.command))
        e["command"].fail("unknown command \"" + label + "\"");
    if (e.has("channel")) rule.channel = int(e["channel"].integer(0, 255));
    const bool eeprom = rule.command == CommandKind::RdEe1 || rule.command == CommandKind::RdEe4 ||
                        rule.command == CommandKind::WrEe1;
    if (e.has("address")) {
        if (!eeprom) e["address"].fail("\"address\" applies to RdEe1, RdEe4 and WrEe1 only");
        rule.address = unsigned(e["address"].integer(0, 0xFFFF));
    }
    if (e.has("gain")) {
        if (rule.command != CommandKind::SetGain) e["gain"].fail("\"gain\" applies to SetGain only");
        rule.gain = e["gain"].number();
    }
    if (e.has("times")) rule.remaining = int(e["times"].integer(1, 1000000000));
    if (e.has("after")) rule.spared = int(e["after"].integer(1, 1000000000));

    if (!e.has("kind")) e.fail("a fault needs \"kind\"");
    const auto kind = e["kind"].text();
    auto onlyFor = [&](const char* key, bool allowed) {
        if (e.has(key) && !allowed) e[key].fail(std::string("\"") + key + "\" does not apply to kind \"" + kind + "\"");
    };
    onlyFor("bytes", kind == "short_reply");
    onlyFor("code", kind == "error");
    onlyFor("stb", kind == "error");
    onlyFor("iberr", kind == "send_error");
    onlyFor("signal", kind == "signal");
    onlyFor("serial", kind == "swap");
    onlyFor("model", kind == "swap");
    if (kind == "no_srq") rule.kind = FaultKind::NoSrq;
    else if (kind == "timeout") rule.kind = FaultKind::Timeout;
    else if (kind == "short_reply") {
        rule.kind = FaultKind::ShortReply;
        if (!e.has("bytes")) e.fail("short_reply needs \"bytes\"");
        rule.value = int(e["bytes"].integer(0, 1024));
    } else if (kind == "error") {
        rule.kind = FaultKind::Error;
        if (e.has("code") == e.has("stb")) e.fail("error needs exactly one of \"code\" and \"stb\"");
        rule.value = e.has("code") ? 0x40 | int(e["code"].integer(1, 63)) : int(e["stb"].integer(0, 255));
    } else if (kind == "send_error") {
        rule.kind = FaultKind::SendError;
        rule.value = e.has("iberr") ? int(e["iberr"].integer(0, 32)) : 6;
    } else if (kind == "signal") {
        rule.kind = FaultKind::Signal;
        if (!e.has("signal")) e.fail("signal needs \"signal\"");
        rule.value = int(e["signal"].integer(1, 31));
    } else if (kind == "swap") {
        rule.kind = FaultKind::Swap;
        if (!e.has("serial")) e.fail("swap needs \"serial\"");
        rule.serial = e["serial"].text(8);
        if (e.has("model")) rule.model = e["model"].text(8);
    } else if (kind == "flip") {
        rule.kind = FaultKind::Flip;
        if (!eeprom) e["kind"].fail("flip applies to RdEe1, RdEe4 and WrEe1 only");
    } else {
        e["kind"].fail("unknown kind \"" + kind +
                       "\" (no_srq, timeout, short_reply, error, send_error, signal, swap, flip)");
    }
    return rule;
}

}  // namespace zsim
