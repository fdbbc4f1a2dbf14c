// Arbitrary bytes as a card's serial, model, error text and the host name: the
// JUnit file must stay well-formed XML 1.0 for a strict parser, and printable
// ASCII must come back from it unchanged.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "JUnitReport.h"
#include "XmlDocument.h"
#include "XmlText.h"

namespace {

// Cuts the next piece off `data`: its first byte gives the length.
std::string_view Piece(std::string_view& data, std::size_t maximum)
{
    if (data.empty())
        return {};
    const std::size_t length = std::min<std::size_t>({static_cast<unsigned char>(data[0]), maximum, data.size() - 1});
    const std::string_view piece = data.substr(1, length);
    data.remove_prefix(1 + length);
    return piece;
}

void Copy(char (&field)[16], std::string_view bytes)
{
    std::fill(std::begin(field), std::end(field), '\0');
    std::copy(bytes.begin(), bytes.end(), field);
}

bool PrintableAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    const std::string_view serial = Piece(data, 15);
    const std::string_view model = Piece(data, 15);
    const std::string_view error = Piece(data, 4096);

    ChannelTable channels;
    int channel = 0;
    for (const std::int32_t status : {StatusUnknown, StatusReading, StatusGood, StatusFail}) {
        CChannelInfo& info = channels[static_cast<std::size_t>(channel += 37) % kChannelCount];
        info.m_nStatus = status;
        Copy(info.m_szSerial, serial);
        Copy(info.m_szModel, model);
        info.m_strError = std::string(error);
    }
    JUnitRun run;
    run.hostname = std::string(data);
    run.passFailed = !error.empty() && error[0] % 2 == 0;
    run.messages = {std::string(error)};
    run.cardMessages.fill(std::string(model));
    const XmlDocument report(FormatJUnitReport(run, channels));
    if (!report.ok())
        std::abort();

    const std::string escaped = XmlText(error);
    const XmlDocument text("<a x=\"" + escaped + "\">" + escaped + "</a>");
    if (!text.ok() || text.text("/a/@x") != text.text("/a"))
        std::abort();
    if (PrintableAscii(error) && text.text("/a") != error)
        std::abort();
    return 0;
}
