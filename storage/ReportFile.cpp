#include "ReportFile.h"

#include "CExclusiveFile.h"
#include "PresentChannels.h"
#include "ReportFormat.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

ReportWriteResult CreateFailed(long systemError)
{
    ReportWriteResult result;
    result.systemError = systemError;
    result.cause = CauseFromSystemError(systemError);
    // A failed create is never reported as success, whatever code the system left.
    if (result.cause == FileErrorCause::None)
        result.cause = FileErrorCause::Generic;
    return result;
}

// A failed write or close is reported as a full disk, whatever the system said.
// What was written stays; a new file that got nothing is removed.
ReportWriteResult WriteFailed(CExclusiveFile& file)
{
    file.Abandon();
    ReportWriteResult result;
    result.systemError = file.LastError();
    result.cause = FileErrorCause::DiskFull;
    result.opened = true;
    return result;
}

} // namespace

ReportWriteResult WriteReportFile(const std::string& path, const ChannelTable& channels)
{
    CExclusiveFile file(path);
    if (!file.IsOpen())
        return CreateFailed(file.LastError());

    // Line by line: the export ends at the first line that cannot be written.
    if (!file.Write(FormatReportHeader(kLineEnd)))
        return WriteFailed(file);
    for (int channel : PresentChannels(channels)) {
        if (!file.Write(FormatReportLine(channels[static_cast<std::size_t>(channel)], channel, kLineEnd)))
            return WriteFailed(file);
    }
    if (!file.Close())
        return WriteFailed(file);
    return {};
}

ReportWriteResult WriteWholeFile(const std::string& path, std::string_view bytes)
{
    CExclusiveFile file(path);
    if (!file.IsOpen())
        return CreateFailed(file.LastError());
    if (!file.Write(bytes) || !file.Close())
        return WriteFailed(file);
    return {};
}
