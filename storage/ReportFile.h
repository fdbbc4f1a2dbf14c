#pragma once
// Writes the report file (CR LF line ends, no byte-order mark) and describes a
// failure the way the operator sees it.

#include <string>
#include <string_view>

#include "ChannelTable.h"
#include "IOperatorMessages.h"

enum class FileErrorCause {
    None = 0, Generic, FileNotFound, BadPath, TooManyOpenFiles, AccessDenied, InvalidFile,
    RemoveCurrentDir, DirectoryFull, BadSeek, HardIO, SharingViolation, LockViolation,
    DiskFull, EndOfFile,
};

// The cause of a failed create, from the system's error code (errno / GetLastError).
FileErrorCause CauseFromSystemError(long systemError);
// The operator's text of a cause, "%1" replaced by the path.
std::string FileErrorText(FileErrorCause cause, const std::string& path);

struct ReportWriteResult {
    FileErrorCause cause = FileErrorCause::None;
    long systemError = 0;
    bool opened = false;   // false: nothing was created; true: a write or close failed
    bool ok() const { return cause == FileErrorCause::None; }
    // Exclamation for a failed create, stop sign for a failed write or close.
    MessageIcon icon() const { return opened ? MessageIcon::Stop : MessageIcon::Exclamation; }
};

// Creates or truncates `path`, not shared while open where the platform can enforce
// it, and writes the report. A write or close failure keeps what was written and
// reports DiskFull.
ReportWriteResult WriteReportFile(const std::string& path, const ChannelTable& channels);
// Another file of the run (JUnit XML) under the same rules, written in one piece.
ReportWriteResult WriteWholeFile(const std::string& path, std::string_view bytes);
