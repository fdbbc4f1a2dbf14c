// The version block that Windows shows for valdina-cli.exe, read back as Explorer does.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ValdinaVersion.h"

TEST(VersionInfo, CarriesTheProjectVersionAsNumbersAndText)
{
    const DWORD size = GetFileVersionInfoSizeA(VALDINA_CLI_PATH, nullptr);
    ASSERT_GT(size, 0u) << "no version block in " VALDINA_CLI_PATH;
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(VALDINA_CLI_PATH, 0, size, block.data()));

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
    EXPECT_EQ(text("OriginalFilename"), "valdina-cli.exe");
}
