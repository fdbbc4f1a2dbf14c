#include "CardReader.h"

#include <cstdio>
#include <vector>

#include "ImageFactory.h"

namespace zsim {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Eeprom imageFromHex(const JsonField& field) {
    const std::string s = field.text();
    Eeprom image{};
    size_t digits = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ' ' || c == '\n' || c == '\t' || c == '\r') continue;
        const int d = hexDigit(c);
        if (d < 0) field.fail("bad hex digit '" + std::string(1, c) + "' at character " + std::to_string(i));
        if (digits >= 2 * kEepromSize) field.fail("more than 1024 hex digits");
        auto& byte = image[digits / 2];
        byte = static_cast<std::uint8_t>(digits % 2 == 0 ? d << 4 : byte | d);
        ++digits;
    }
    if (digits != 2 * kEepromSize)
        field.fail("expected 1024 hex digits, found " + std::to_string(digits));
    return image;
}

std::vector<std::string> brokenBlocks(const JsonField& field) {
    field.requireArray();
    std::vector<std::string> names;
    for (size_t i = 0; i < field.value().size(); ++i) {
        auto item = field.at(i);
        auto name = item.text();
        if (!ImageLayout::find(name))
            item.fail("unknown block \"" + name + "\" (Header, gain, filter, Rcal, Vexc, Iexc, Xmon)");
        names.push_back(name);
    }
    return names;
}

}  // namespace

int CardReader::channelOf(const JsonField& entry) {
    if (entry.has("channel")) {
        if (entry.has("rack") || entry.has("slot")) entry.fail("give either channel or rack and slot");
        return int(entry["channel"].integer(0, 255));
    }
    if (!entry.has("rack") || !entry.has("slot")) entry.fail("a card needs channel, or rack and slot");
    return int(entry["rack"].integer(0, 15) * 16 + entry["slot"].integer(0, 15));
}

std::string CardReader::defaultSerial(int channel) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08d", 21000000 + channel);
    return buf;
}

Card CardReader::generated(int channel, const std::string& model, std::uint8_t mode, std::uint32_t seed) {
    Card card;
    card.serial = defaultSerial(channel);
    card.model = model;
    card.mode = mode;
    card.eeprom = ImageFactory::valid(seed);
    return card;
}

Card CardReader::read(const JsonField& e, int channel) {
    e.requireObject({"channel", "rack", "slot", "serial", "model", "mode", "image", "seed", "broken", "hex",
                     "write_protected", "stuck"});
    Card card;
    card.serial = e.has("serial") ? e["serial"].text(8) : defaultSerial(channel);
    card.model = e.has("model") ? e["model"].text(8) : "T210";
    card.mode = e.has("mode") ? static_cast<std::uint8_t>(e["mode"].integer(0, 255)) : 0;

    std::string kind = e.has("hex") ? "hex" : "valid";
    if (e.has("image")) {
        kind = e["image"].text();
        if (kind != "valid" && kind != "erased" && kind != "zero" && kind != "hex")
            e["image"].fail("unknown image \"" + kind + "\" (valid, erased, zero, hex)");
    }
    if (e.has("hex") != (kind == "hex")) e.fail("\"hex\" goes with image \"hex\" only, and it needs one");
    if (kind != "valid" && (e.has("broken") || e.has("seed")))
        e.fail("\"broken\" and \"seed\" go with a valid image only");

    if (kind == "hex") card.eeprom = imageFromHex(e["hex"]);
    else if (kind == "erased") card.eeprom = ImageFactory::erased();
    else if (kind == "zero") card.eeprom = ImageFactory::zero();
    else {
        const auto seed = e.has("seed") ? std::uint32_t(e["seed"].integer(0, 0xFFFFFFFF)) : std::uint32_t(channel + 1);
        const auto broken = e.has("broken") ? brokenBlocks(e["broken"]) : std::vector<std::string>{};
        card.eeprom = ImageFactory::valid(seed, broken);
    }
    if (e.has("write_protected")) card.writeProtected = e["write_protected"].boolean();
    if (e.has("stuck")) {
        const auto& stuck = e["stuck"];
        stuck.requireArray();
        for (size_t i = 0; i < stuck.value().size(); ++i)
            card.stuck.insert(unsigned(stuck.at(i).integer(0, kEepromSize - 1)));
    }
    return card;
}

}  // namespace zsim
