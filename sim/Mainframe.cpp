#include "Mainframe.h"

namespace zsim {

namespace {
Response reply(std::vector<std::uint8_t> bytes) { return Response{std::move(bytes), 0}; }
Response error(std::uint8_t code) { return Response{std::nullopt, code}; }
std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }
}  // namespace

Mainframe::Mainframe(std::array<std::optional<Card>, kChannels> cards) : m_cards(std::move(cards)) {}

Card* Mainframe::selectedCard() {
    if (m_selected < 0 || !m_cards[m_selected]) return nullptr;
    return &*m_cards[m_selected];
}

Response Mainframe::execute(const Command& cmd) {
    switch (cmd.kind) {
    case CommandKind::Select:
        // An empty slot deselects, so later card commands cannot reach a stale card.
        m_selected = m_cards[cmd.channel] ? cmd.channel : -1;
        return m_selected < 0 ? error(kErrNoCard) : Response{};
    case CommandKind::QueryPresent:
        return presence();
    case CommandKind::RdEe1:
        return eepromRead(cmd, 1);
    case CommandKind::RdEe4:
        return eepromRead(cmd, 4);
    case CommandKind::WrEe1:
        return eepromWrite(cmd);
    case CommandKind::Unknown:
        return error(kErrSyntax);
    default:
        break;
    }
    Card* card = selectedCard();
    if (!card) return error(kErrNoCard);
    switch (cmd.kind) {
    case CommandKind::QuerySN:
        return reply(bytesOf(card->serial));
    case CommandKind::QueryModel:
        return reply(bytesOf(card->model));
    case CommandKind::GetOpMode:
        return reply({card->mode});
    case CommandKind::SetOpMode:
        card->mode = cmd.value;
        return {};
    default:  // SetGain: any gain is accepted; only injected faults make it fail
        return {};
    }
}

void Mainframe::swapCard(int channel, const std::string& serial, const std::string& model) {
    if (channel < 0 || channel >= kChannels || !m_cards[channel]) return;
    m_cards[channel]->serial = serial;
    if (!model.empty()) m_cards[channel]->model = model;
}

void Mainframe::flipEepromByte(int channel, unsigned address) {
    if (channel < 0 || channel >= kChannels || !m_cards[channel] || address >= kEepromSize) return;
    m_cards[channel]->eeprom[address] ^= 0xFF;
}

Response Mainframe::presence() const {
    std::vector<std::uint8_t> map(32, 0);
    for (int ch = 0; ch < kChannels; ++ch)
        if (m_cards[ch]) map[2 * (ch / 16) + (ch % 16) / 8] |= std::uint8_t(1u << (ch % 8));
    return reply(std::move(map));
}

Response Mainframe::eepromRead(const Command& cmd, int length) const {
    const auto& card = m_cards[cmd.channel];
    if (!card) return error(kErrNoCard);
    const int rack = cmd.channel / 16;
    const unsigned mask = 1u << (cmd.channel % 16);
    // Bytes 0..3 echo the frame header: rack, slot mask (high, low), access code.
    std::vector<std::uint8_t> out{std::uint8_t(rack), std::uint8_t(mask >> 8), std::uint8_t(mask & 0xFF),
                                  std::uint8_t(length == 1 ? 0x20 : 0x22)};
    for (int i = 0; i < length; ++i) {
        const unsigned a = cmd.address + unsigned(i);
        // Beyond the 512-byte part the address lines float high.
        out.push_back(a < kEepromSize ? card->eeprom[a] : 0xFF);
    }
    return reply(std::move(out));
}

Response Mainframe::eepromWrite(const Command& cmd) {
    auto& card = m_cards[cmd.channel];
    if (!card) return error(kErrNoCard);
    if (card->writeProtected) return error(kErrWriteProtected);
    // Beyond the part, and at a stuck cell, the write is accepted and lost.
    if (cmd.address < kEepromSize && !card->stuck.contains(cmd.address)) card->eeprom[cmd.address] = cmd.value;
    return {};
}

}  // namespace zsim
