// The report file on Windows: text-mode line ends, no sharing while it is
// written, and the causes of a failed create from GetLastError.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "CExclusiveFile.h"
#include "ReportFile.h"
#include "ReportFormat.h"
#include "ReportSample.h"

namespace fs = std::filesystem;
using valdina::test::ReadWholeFile;
using valdina::test::ReportSampleTable;

namespace {

class ReportFileWin32Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("valdina-report-" + std::to_string(std::random_device()()));
        ASSERT_TRUE(fs::create_directory(m_dir));
    }
    void TearDown() override
    {
        for (const auto& entry : fs::directory_iterator(m_dir))
            SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(m_dir);
    }
    std::string PathOf(const char* name) const { return (m_dir / name).string(); }


    fs::path m_dir;
};

} // namespace

TEST_F(ReportFileWin32Test, EveryLineFeedHasExactlyOneCarriageReturnBeforeIt)
{
    const std::string path = PathOf("Valdina.txt");
    ASSERT_TRUE(WriteReportFile(path, ReportSampleTable()).ok());
    const std::string content = ReadWholeFile(path);
    std::size_t pairs = 0;
    for (std::size_t at = content.find("\r\n"); at != std::string::npos; at = content.find("\r\n", at + 2))
        ++pairs;
    EXPECT_EQ(pairs, 4u) << content;
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 4) << "a line feed without its CR";
    EXPECT_EQ(std::count(content.begin(), content.end(), '\r'), 4) << "a CR that ends no line";
    EXPECT_EQ(content, FormatReport(ReportSampleTable(), "\r\n"));
    EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
}

TEST_F(ReportFileWin32Test, FileHeldByTheExportCannotBeOpenedAgain)
{
    const std::string path = PathOf("held.txt");
    CExclusiveFile held(path);
    ASSERT_TRUE(held.IsOpen());

    const HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    const ReportWriteResult second = WriteReportFile(path, ReportSampleTable());
    EXPECT_EQ(second.systemError, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(second.cause, FileErrorCause::SharingViolation);
    EXPECT_FALSE(second.opened);
    EXPECT_EQ(FileErrorText(second.cause, path), "A sharing violation occurred while accessing " + path + ".");

    ASSERT_TRUE(held.Close());
    EXPECT_TRUE(WriteReportFile(path, ReportSampleTable()).ok()) << "free again once closed";
}

TEST_F(ReportFileWin32Test, ReadOnlyFileIsAccessDenied)
{
    const std::string locked = PathOf("locked.txt");
    std::ofstream(locked) << "keep";
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine keeps the attribute as Unix permissions, which the super-user passes.
    const HANDLE probe = CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "this file system lets the user write a read-only file";
    }
    const ReportWriteResult denied = WriteReportFile(locked, ReportSampleTable());
    EXPECT_EQ(denied.systemError, ERROR_ACCESS_DENIED);
    EXPECT_EQ(denied.cause, FileErrorCause::AccessDenied);
    EXPECT_EQ(ReadWholeFile(locked), "keep");
}

TEST_F(ReportFileWin32Test, FolderInPlaceOfTheFileIsAccessDeniedAndAMissingFolderIsBadPath)
{
    const ReportWriteResult folder = WriteReportFile(m_dir.string(), ReportSampleTable());
    EXPECT_EQ(folder.systemError, ERROR_ACCESS_DENIED);
    EXPECT_EQ(folder.cause, FileErrorCause::AccessDenied);

    const std::string missing = PathOf("no-such-folder\\Valdina.txt");
    const ReportWriteResult bad = WriteReportFile(missing, ReportSampleTable());
    EXPECT_EQ(bad.systemError, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(bad.cause, FileErrorCause::BadPath);
    EXPECT_FALSE(fs::exists(m_dir / "no-such-folder"));
}
