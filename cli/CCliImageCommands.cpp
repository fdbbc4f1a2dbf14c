// valdina-cli's EEPROM image commands: save, save --all, compare, restore.

#include <filesystem>
#include <ostream>

#include <nlohmann/json.hpp>

#include "CCliCommands.h"
#include "CInstrument.h"
#include "CPassCancel.h"
#include "ChannelScan.h"
#include "EepromImageFile.h"
#include "ExitCode.h"
#include "ImageCompare.h"
#include "ImageRestore.h"
#include "PresentChannels.h"
#include "TextFormat.h"

namespace {

std::string FormatJsonDifferences(const std::vector<ImageDifference>& differences, const std::string& first,
                                  const std::string& second)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const ImageDifference& d : differences)
        list.push_back({{"address", d.address}, {"block", BlockNameAt(d.address)}, {"bytes", {d.first, d.second}}});
    const nlohmann::ordered_json json = {
        {"compared", {first, second}}, {"same", differences.empty()}, {"differences", list}};
    return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace

int CCliCommands::Refuse(const std::string& text)
{
    m_messages.ShowMessage(text, MessageIcon::Exclamation);
    return kExitFailed;
}

bool CCliCommands::ScanForImages()
{
    const bool ok = ScanChannels(m_instrument, m_channels, m_rows, Progress(), m_cancel);
    ReportCancel("scan");
    return ok;
}

int CCliCommands::SaveImage(const CliOptions& options)
{
    const ExistingFiles existing = options.force ? ExistingFiles::Replace : ExistingFiles::Keep;
    if (const auto inTheWay = ExistingImageFiles(options.imagePath); !options.force && !inTheWay.empty())
        return Refuse(ExistingFilesText(inTheWay) + " --force replaces what is there.");
    if (!ScanForImages())
        return kExitFailed;
    const CChannelInfo& card = m_channels[static_cast<std::size_t>(options.channel)];
    if (card.m_nStatus == StatusNotPresent)
        return Refuse(AbsentCardText(options.channel));
    const CardImageSave save = SaveCardImage(m_instrument, card, options.channel, options.imagePath, existing);
    if (!save.read)
        return FailWithError();
    if (!save.file.ok())
        return Refuse(save.file.Text());
    return Print(FormatText("channel %d: %s, %s\n", options.channel, options.imagePath.c_str(),
                            ImageRecordPath(options.imagePath).c_str()),
                 kExitOk);
}

int CCliCommands::SaveAllImages(const CliOptions& options)
{
    if (!ScanForImages())
        return kExitFailed;
    const ExistingFiles existing = options.force ? ExistingFiles::Replace : ExistingFiles::Keep;
    if (const auto inTheWay = ExistingCardImageFiles(m_channels, options.imagePath); !options.force && !inTheWay.empty())
        return Refuse(ExistingFilesText(inTheWay) + " --force replaces what is there.");
    int exitCode = kExitOk;
    std::string listing;
    for (const SavedCard& card :
         SaveAllCardImages(m_instrument, m_channels, options.imagePath, Progress(), m_cancel, existing)) {
        if (card.save.ok())
            listing += FormatText("channel %d: %s\n", card.channel, card.path.c_str());
        else
            exitCode = kExitFailed;
        if (card.save.read && !card.save.file.ok())
            Refuse(card.save.file.Text());
    }
    ReportCancel("save");
    return Print(listing, exitCode);
}

int CCliCommands::CompareImage(const CliOptions& options)
{
    EepromImage first{};
    std::string firstName;
    if (options.compareChannel) {
        if (!m_eeprom.ReadImage(options.channel, first))
            return FailWithError();
        firstName = "channel " + std::to_string(options.channel);
    } else {
        const LoadedImage loaded = LoadImageFile(options.imagePath);
        if (!loaded.ok())
            return Refuse(loaded.refusal);
        first = loaded.image;
        firstName = options.imagePath;
    }
    const std::string& secondPath = options.compareChannel ? options.imagePath : options.secondImagePath;
    const LoadedImage second = LoadImageFile(secondPath);
    if (!second.ok())
        return Refuse(second.refusal);

    const std::vector<ImageDifference> differences = CompareImages(first, second.image);
    const int exitCode = differences.empty() ? kExitOk : kExitNotGood;
    if (options.json)
        return Print(FormatJsonDifferences(differences, firstName, secondPath), exitCode);
    return Print(firstName + " against " + secondPath + ": "
                     + FormatImageDifferences(differences, options.compareChannel ? "card" : "first",
                                              options.compareChannel ? "file" : "second"),
                 exitCode);
}

int CCliCommands::RestoreImage(const CliOptions& options)
{
    // Every check passes before anything is written.
    const LoadedImage file = LoadImageFile(options.imagePath);
    if (!file.ok())
        return Refuse(file.refusal);
    if (!ScanForImages())
        return kExitFailed;
    CChannelInfo& card = m_channels[static_cast<std::size_t>(options.channel)];
    const RestoreRefusals refusals = CheckRestore(file, options.imagePath, card, options.channel);
    if (!refusals.always.empty())
        return Refuse(refusals.always + " Nothing was written.");
    for (const std::string& refusal : refusals.overridable)
        m_messages.ShowMessage(refusal, MessageIcon::Exclamation);
    if (refusals.Blocks(options.force))
        return Refuse("Nothing was written; --force restores the image all the same.");

    const RestoreResult result =
        RestoreEepromImage(m_instrument, card, options.channel, file.image, Progress(), m_cancel);
    const std::string summary = RestoreSummary(result, options.channel);
    switch (result.outcome) {
    case RestoreResult::Outcome::Restored:
        return Print(summary + "\n", result.allValid ? kExitOk : kExitNotGood);
    case RestoreResult::Outcome::Cancelled:
        m_err << "valdina-cli: " << summary << " Run it again to resume.\n" << std::flush;
        return kExitFailed;
    case RestoreResult::Outcome::Failed:
        break;
    }
    return Refuse(summary);
}
