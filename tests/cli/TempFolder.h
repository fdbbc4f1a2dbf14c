#pragma once
// A fresh folder in the system's temporary folder for one test, removed with
// everything in it. Portable: the image tests run under Wine too.

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        // create_directory is false for a folder that exists: that name is taken.
        do {
            m_path = std::filesystem::temp_directory_path() / ("valdina-test-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(m_path));
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
