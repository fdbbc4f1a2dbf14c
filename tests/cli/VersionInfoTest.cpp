// The version block (and the window's icon) that Windows shows for each program,
// read back as Explorer does.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ValdinaVersion.h"

namespace {
struct Program {
    const char* path;
    const char* originalFilename;
    bool hasIcon;
};

const Program kPrograms[] = {
    {VALDINA_CLI_PATH, "valdina-cli.exe", false},
#ifdef VALDINA_WINDOW_PATH
    {VALDINA_WINDOW_PATH, "Valdina.EXE", true},
#endif
};

class VersionInfo : public ::testing::TestWithParam<Program> {};
} // namespace

INSTANTIATE_TEST_SUITE_P(Programs, VersionInfo, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) { return std::string(info.param.hasIcon ? "Window" : "CommandLine"); });

TEST_P(VersionInfo, CarriesTheProjectVersionAsNumbersAndText)
{
    const char* path = GetParam().path;
    const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
    ASSERT_GT(size, 0u) << "no version block in " << path;
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const unsigned numbers[] = {VALDINA_VERSION_NUMBERS};
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), numbers[0]);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), numbers[1]);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), numbers[2]);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), numbers[3]);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    const auto text = [&](const char* name) {
        char* value = nullptr;
        UINT chars = 0;
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &chars) || chars == 0)
            return std::string("(missing)");
        return std::string(value);
    };
    EXPECT_EQ(text("FileVersion"), VALDINA_VERSION_TEXT);
    EXPECT_EQ(text("ProductVersion"), VALDINA_VERSION_TEXT);
    EXPECT_EQ(text("ProductName"), "Zentra EEPROM Verify");
    EXPECT_EQ(text("OriginalFilename"), GetParam().originalFilename);

    if (GetParam().hasIcon) {
        const HMODULE image = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(image, nullptr);
        EXPECT_NE(FindResourceA(image, MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */), nullptr)
            << "no icon 128 in " << path;
        FreeLibrary(image);
    }
}
