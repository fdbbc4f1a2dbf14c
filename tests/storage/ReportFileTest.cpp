// The report file on a real file system, and the texts of its failures.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "ReportFile.h"
#include "ReportSample.h"
#include "ReportFormat.h"

namespace fs = std::filesystem;
using valdina::test::ReadWholeFile;
using valdina::test::ReportSampleTable;

namespace {

class ReportFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/valdina-report-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(m_dir, fs::perms::owner_all, ignored);
        fs::remove_all(m_dir, ignored);
    }

    std::string PathOf(const char* name) const { return (m_dir / name).string(); }



    fs::path m_dir;
};

} // namespace

TEST_F(ReportFileTest, WritesCrLfLinesWithoutByteOrderMark)
{
    const std::string path = PathOf("Valdina.txt");
    const ReportWriteResult result = WriteReportFile(path, ReportSampleTable());
    ASSERT_TRUE(result.ok());
    EXPECT_FALSE(result.opened);

    const std::string content = ReadWholeFile(path);
    EXPECT_EQ(content,
              "      SN  Rack  Slot  Status        Description\r\n"
              "00000001     0     0  Fail" + std::string(10, ' ') + "\r\n" +
              "00004711     1     1  Good" + std::string(10, ' ') + "\r\n" +
              "             1     2  reading       invalid checksum (Iexc)\r\n");
    EXPECT_EQ(content, FormatReport(ReportSampleTable(), "\r\n"));
}

TEST_F(ReportFileTest, EmptyTableGivesTheHeaderAlone)
{
    const std::string path = PathOf("empty.txt");
    ASSERT_TRUE(WriteReportFile(path, ChannelTable{}).ok());
    EXPECT_EQ(ReadWholeFile(path), "      SN  Rack  Slot  Status        Description\r\n");
}

TEST_F(ReportFileTest, ReplacesWholeContentAndRepeatsIdentically)
{
    const std::string path = PathOf("again.txt");
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(5000, '#');
    }
    ASSERT_TRUE(WriteReportFile(path, ReportSampleTable()).ok());
    const std::string first = ReadWholeFile(path);
    ASSERT_TRUE(WriteReportFile(path, ReportSampleTable()).ok());
    EXPECT_EQ(ReadWholeFile(path), first);
    EXPECT_EQ(first.find('#'), std::string::npos);
}

TEST_F(ReportFileTest, ReadOnlyFileIsAccessDenied)
{
    const std::string path = PathOf("locked.txt");
    std::ofstream(path) << "keep";
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(m_dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                               | fs::perms::others_read | fs::perms::others_exec);

    // The super-user writes read-only files, so the export runs as an ordinary user
    // in a child process; the exit code carries the verdict.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                std::_Exit(2);
            const ReportWriteResult result = WriteReportFile(path, ReportSampleTable());
            const bool denied = result.cause == FileErrorCause::AccessDenied && !result.opened
                && result.icon() == MessageIcon::Exclamation
                && FileErrorText(result.cause, path) == "Access to " + path + " was denied.";
            std::_Exit(denied ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadWholeFile(path), "keep");
}

TEST_F(ReportFileTest, FolderInPlaceOfFileIsAccessDenied)
{
    const ReportWriteResult result = WriteReportFile(m_dir.string(), ReportSampleTable());
    EXPECT_EQ(result.cause, FileErrorCause::AccessDenied);
    EXPECT_EQ(result.systemError, EISDIR);
}

TEST_F(ReportFileTest, MissingFolderOrFileAsFolderIsBadPathAndCreatesNothing)
{
    const std::string plain = PathOf("plain.txt");
    std::ofstream(plain) << "x";
    for (const std::string& path : {PathOf("missing/report.txt"), plain + "/report.txt"}) {
        const ReportWriteResult result = WriteReportFile(path, ReportSampleTable());
        EXPECT_EQ(result.cause, FileErrorCause::BadPath) << path;
        EXPECT_EQ(result.icon(), MessageIcon::Exclamation);
        EXPECT_EQ(FileErrorText(result.cause, path), path + " contains an invalid path.");
    }
    EXPECT_FALSE(fs::exists(m_dir / "missing"));
    EXPECT_EQ(ReadWholeFile(plain), "x");
}

TEST_F(ReportFileTest, PipeWithoutReaderFailsAtOnceAndAReaderThatLeavesIsAnError)
{
    // Each in a child with an alarm clock, so an open or a write that waits
    // forever ends the child instead of hanging the test.
    const std::string path = PathOf("pipe");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EXIT((::alarm(5), std::_Exit(static_cast<int>(WriteReportFile(path, ReportSampleTable()).cause))),
                ::testing::ExitedWithCode(static_cast<int>(FileErrorCause::AccessDenied)), "");

    // A full table outgrows the smallest pipe buffer, so the export meets the
    // closed pipe: an error (EPIPE), not the end of the program (SIGPIPE).
    EXPECT_EXIT(
        {
            ::alarm(5);
            std::signal(SIGPIPE, SIG_DFL);
            ChannelTable full{};
            for (CChannelInfo& info : full)
                info.m_nStatus = StatusGood;
            const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
            ::fcntl(reader, F_SETPIPE_SZ, 4096);
            std::thread leaver([reader] {
                pollfd ready{reader, POLLIN, 0};
                ::poll(&ready, 1, 5000);
                ::close(reader);
            });
            const ReportWriteResult result = WriteReportFile(path, full);
            leaver.join();
            std::_Exit(result.cause == FileErrorCause::DiskFull && result.systemError == EPIPE ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ReportFileTest, FileSystemWithoutLocksStillTakesTheReportAndAFailedLockLeavesNoNewFile)
{
    // In a child, where the kernel answers flock with `error` as a file system
    // without locks, or another program's lock, does; the child exits with the cause.
    const std::string path = PathOf("new.txt");
    for (int error : {ENOLCK, EOPNOTSUPP, EWOULDBLOCK}) {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_flock, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<unsigned>(error)),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
        const bool locks = error != EWOULDBLOCK;
        EXPECT_EXIT(
            {
                if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
                    std::_Exit(99);
                std::_Exit(static_cast<int>(WriteReportFile(path, ReportSampleTable()).cause));
            },
            ::testing::ExitedWithCode(static_cast<int>(locks ? FileErrorCause::None : FileErrorCause::SharingViolation)),
            "")
            << std::strerror(error);
        EXPECT_EQ(fs::exists(path) ? ReadWholeFile(path) : "", locks ? FormatReport(ReportSampleTable(), "\r\n") : "");
        fs::remove(path);
    }
}

TEST_F(ReportFileTest, FileLockedByAnotherProgramIsSharingViolationAndKeepsItsContent)
{
    const std::string path = PathOf("shared.txt");
    std::ofstream(path) << "theirs";
    const int other = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    const ReportWriteResult result = WriteReportFile(path, ReportSampleTable());
    EXPECT_EQ(result.cause, FileErrorCause::SharingViolation);
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(ReadWholeFile(path), "theirs");

    ::close(other);
    EXPECT_TRUE(WriteReportFile(path, ReportSampleTable()).ok());
}

TEST_F(ReportFileTest, FullDiskStopsWithStopSign)
{
    const ReportWriteResult result = WriteReportFile("/dev/full", ReportSampleTable());
    EXPECT_EQ(result.cause, FileErrorCause::DiskFull);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.icon(), MessageIcon::Stop);
    EXPECT_EQ(result.systemError, ENOSPC);
    EXPECT_EQ(FileErrorText(result.cause, "/dev/full"), "Disk full while accessing /dev/full.");
}

TEST_F(ReportFileTest, WhatWasWrittenBeforeAWriteFailureStaysAndANewFileThatGotNothingGoes)
{
    // A file size limit lets the header through and stops inside the record lines.
    const std::string path = PathOf("partial.txt");
    const std::string header = FormatReportHeader("\r\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = header.size() + 10;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const ReportWriteResult result = WriteReportFile(path, ReportSampleTable());
    limited.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const ReportWriteResult empty = WriteReportFile(PathOf("empty.txt"), ReportSampleTable());

    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result.cause, FileErrorCause::DiskFull);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.systemError, EFBIG);
    EXPECT_EQ(ReadWholeFile(path), FormatReport(ReportSampleTable(), "\r\n").substr(0, header.size() + 10));
    EXPECT_EQ(empty.cause, FileErrorCause::DiskFull);
    EXPECT_FALSE(fs::exists(PathOf("empty.txt")));
}

TEST(FileErrorText, EveryCauseWithItsPath)
{
    const std::string path = "C:\\Reports\\Valdina.txt";
    const char* const expected[] = {
        "No error occurred.",
        "An unknown error occurred while accessing C:\\Reports\\Valdina.txt.",
        "C:\\Reports\\Valdina.txt was not found.",
        "C:\\Reports\\Valdina.txt contains an invalid path.",
        "C:\\Reports\\Valdina.txt could not be opened because there are too many open files.",
        "Access to C:\\Reports\\Valdina.txt was denied.",
        "An invalid file handle was associated with C:\\Reports\\Valdina.txt.",
        "C:\\Reports\\Valdina.txt could not be removed because it is the current directory.",
        "C:\\Reports\\Valdina.txt could not be created because the directory is full.",
        "Seek failed on C:\\Reports\\Valdina.txt",
        "A hardware I/O error was reported while accessing C:\\Reports\\Valdina.txt.",
        "A sharing violation occurred while accessing C:\\Reports\\Valdina.txt.",
        "A locking violation occurred while accessing C:\\Reports\\Valdina.txt.",
        "Disk full while accessing C:\\Reports\\Valdina.txt.",
        "An attempt was made to access C:\\Reports\\Valdina.txt past its end.",
    };
    for (int cause = 0; cause <= static_cast<int>(FileErrorCause::EndOfFile); ++cause)
        EXPECT_EQ(FileErrorText(static_cast<FileErrorCause>(cause), path), expected[cause]);
}

TEST(FileErrorText, PathIsInsertedVerbatim)
{
    EXPECT_EQ(FileErrorText(FileErrorCause::AccessDenied, "/tmp/100%1.txt"), "Access to /tmp/100%1.txt was denied.");
    EXPECT_EQ(FileErrorText(FileErrorCause::FileNotFound, ""), " was not found.");
}

TEST(CauseFromSystemError, MapsErrnoLikeTheWindowsTable)
{
    const struct {
        long error;
        FileErrorCause cause;
    } cases[] = {
        {0, FileErrorCause::None},
        {ENOENT, FileErrorCause::BadPath},
        {ENOTDIR, FileErrorCause::BadPath},
        {ENAMETOOLONG, FileErrorCause::BadPath},
        {ELOOP, FileErrorCause::BadPath},
        {EINVAL, FileErrorCause::BadPath},
        {EMFILE, FileErrorCause::TooManyOpenFiles},
        {ENFILE, FileErrorCause::TooManyOpenFiles},
        {EACCES, FileErrorCause::AccessDenied},
        {EPERM, FileErrorCause::AccessDenied},
        {EROFS, FileErrorCause::AccessDenied},
        {EEXIST, FileErrorCause::AccessDenied},
        {ETXTBSY, FileErrorCause::AccessDenied},
        {EISDIR, FileErrorCause::AccessDenied},
        {EBADF, FileErrorCause::InvalidFile},
        {ESPIPE, FileErrorCause::BadSeek},
        {EIO, FileErrorCause::HardIO},
        {EBUSY, FileErrorCause::SharingViolation},
        {EWOULDBLOCK, FileErrorCause::SharingViolation},
        {ENOSPC, FileErrorCause::DiskFull},
        {EDQUOT, FileErrorCause::DiskFull},
        {ENOMEM, FileErrorCause::Generic},
        {ENXIO, FileErrorCause::AccessDenied},
        {-5, FileErrorCause::Generic},
        {100000, FileErrorCause::Generic},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CauseFromSystemError(c.error), c.cause) << "errno " << c.error;
}
