// valdina-cli's EEPROM image commands: save, save --all, compare, restore.

#include <filesystem>
#include <ostream>

#include <nlohmann/json.hpp>

#include "CCliCommands.h"
#include "CInstrument.h"
#include "CForceConfirm.h"
#include "CPassCancel.h"
#include "CompareAction.h"
#include "ChannelScan.h"
#include "EepromImageFile.h"
#include "ExitCode.h"
#include "ImageCompare.h"
#include "ImageRestore.h"
#include "RestoreAction.h"
#include "SaveAction.h"
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
    return kExitRefused;
}

bool CCliCommands::ScanForImages()
{
    const bool ok = ScanChannels(m_instrument, m_channels, m_rows, Progress(), m_cancel);
    ReportCancel("scan");
    return ok;
}

int CCliCommands::FinishAction(const ActionResult& result)
{
    switch (result.outcome) {
    case ActionOutcome::Done:
        return Print(result.summary, kExitOk);
    case ActionOutcome::NotGood:
        return Print(result.summary, kExitNotGood);
    case ActionOutcome::Refused:
        return kExitRefused;
    case ActionOutcome::Cancelled:
    case ActionOutcome::Failed:
        break;
    }
    if (!result.summary.empty())
        m_err << "valdina-cli: " << result.summary << "\n" << std::flush;
    return kExitFailed;
}

int CCliCommands::SaveImage(const CliOptions& options)
{
    if (!ScanForImages())
        return kExitFailed;
    CForceConfirm confirm(m_messages, options.force);
    return FinishAction(SaveCardImageAs(Front(confirm), options.channel, options.imagePath));
}

int CCliCommands::SaveAllImages(const CliOptions& options)
{
    if (!ScanForImages())
        return kExitFailed;
    CForceConfirm confirm(m_messages, options.force);
    ActionResult result = SaveAllCardImagesInto(Front(confirm), options.imagePath);
    ReportCancel("save");
    // What was saved is listed whatever came after it.
    const int exitCode = Print(result.summary, kExitOk);
    result.summary.clear();
    return result.outcome == ActionOutcome::Done ? exitCode : FinishAction(result);
}

int CCliCommands::CompareImage(const CliOptions& options)
{
    std::vector<ImageDifference> differences;
    std::string firstName;
    if (options.compareChannel) {
        CForceConfirm confirm(m_messages, false);
        const CardComparison comparison = CompareCardWithImage(Front(confirm), options.channel, options.imagePath);
        const ActionOutcome outcome = comparison.result.outcome;
        if (!options.json || outcome == ActionOutcome::Refused || outcome == ActionOutcome::Failed)
            return FinishAction(comparison.result);
        differences = comparison.differences;
        firstName = "channel " + std::to_string(options.channel);
    } else {
        const LoadedImage first = LoadImageFile(options.imagePath);
        if (!first.ok())
            return Refuse(first.refusal);
        const LoadedImage second = LoadImageFile(options.secondImagePath);
        if (!second.ok())
            return Refuse(second.refusal);
        differences = CompareImages(first.image, second.image);
        firstName = options.imagePath;
    }
    const std::string& secondPath = options.compareChannel ? options.imagePath : options.secondImagePath;
    const int exitCode = differences.empty() ? kExitOk : kExitNotGood;
    if (options.json)
        return Print(FormatJsonDifferences(differences, firstName, secondPath), exitCode);
    return Print(firstName + " against " + secondPath + ": " + FormatImageDifferences(differences, "first", "second"),
                 exitCode);
}

int CCliCommands::RestoreImage(const CliOptions& options)
{
    // A file that is no image is refused before the bus is touched.
    if (const LoadedImage file = LoadImageFile(options.imagePath); !file.ok())
        return Refuse(file.refusal + " Nothing was written.");
    if (!ScanForImages())
        return kExitFailed;
    CForceConfirm confirm(m_messages, options.force);
    ActionResult result = RestoreCardImage(Front(confirm), options.channel, options.imagePath);
    if (result.outcome == ActionOutcome::Done || result.outcome == ActionOutcome::NotGood)
        result.summary += "\n";
    return FinishAction(result);
}
