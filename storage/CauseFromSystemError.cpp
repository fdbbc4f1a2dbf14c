// The cause of a failed create, from the platform's error code.

#include "ReportFile.h"

#ifdef _WIN32

FileErrorCause CauseFromSystemError(long systemError)
{
    switch (systemError) {
    case 0: return FileErrorCause::None;
    case 2: case 6: case 18: return FileErrorCause::FileNotFound;
    case 3: case 15: case 53: case 123: case 161: case 206: case 267: return FileErrorCause::BadPath;
    case 4: case 36: return FileErrorCause::TooManyOpenFiles;
    case 5: case 19: case 29: case 80: case 82: case 183: return FileErrorCause::AccessDenied;
    case 16: return FileErrorCause::RemoveCurrentDir;
    case 25: case 30: return FileErrorCause::BadSeek;
    case 21: return FileErrorCause::HardIO;
    case 32: return FileErrorCause::SharingViolation;
    case 33: return FileErrorCause::LockViolation;
    case 39: case 112: return FileErrorCause::DiskFull;
    case 38: return FileErrorCause::EndOfFile;
    default: return FileErrorCause::Generic;
    }
}

#else

#include <cerrno>

FileErrorCause CauseFromSystemError(long systemError)
{
    switch (systemError) {
    case 0: return FileErrorCause::None;
    // The report is always created, so ENOENT means a folder of the path is missing.
    case ENOENT: case ENOTDIR: case ENAMETOOLONG: case ELOOP: case EINVAL: return FileErrorCause::BadPath;
    case EMFILE: case ENFILE: return FileErrorCause::TooManyOpenFiles;
    // ENXIO: a pipe that nobody reads, or a device that is not there.
    case EACCES: case EPERM: case EROFS: case EEXIST: case ETXTBSY: case EISDIR: case ENXIO:
        return FileErrorCause::AccessDenied;
    case EBADF: return FileErrorCause::InvalidFile;
    case ESPIPE: return FileErrorCause::BadSeek;
    case EIO: return FileErrorCause::HardIO;
    // EWOULDBLOCK: another program holds the file's lock.
    case EBUSY: case EWOULDBLOCK: return FileErrorCause::SharingViolation;
    case ENOSPC: case EDQUOT: return FileErrorCause::DiskFull;
    default: return FileErrorCause::Generic;
    }
}

#endif
