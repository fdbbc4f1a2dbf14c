#include "UntrustedFile.h"

#include "ReportFile.h"

std::string UntrustedReadText(const UntrustedRead& read, const std::string& path, const std::string& what,
                              const std::string& limitText)
{
    switch (read.outcome) {
    case UntrustedRead::Outcome::Read:
        break;
    case UntrustedRead::Outcome::Missing:
        return path + " does not exist.";
    case UntrustedRead::Outcome::NotRegular:
        return path + " is " + read.kind + ", not a file; " + what + " is read only from a file.";
    case UntrustedRead::Outcome::TooLong:
        return path + " holds " + std::to_string(read.size) + " bytes; " + what + " is " + limitText + ".";
    case UntrustedRead::Outcome::Failed: {
        const FileErrorCause cause = CauseFromSystemError(read.systemError);
        return FileErrorText(cause == FileErrorCause::None ? FileErrorCause::Generic : cause, path);
    }
    }
    return {};
}
