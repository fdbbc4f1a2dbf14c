#include "CStagedFile.h"

#include <filesystem>

std::string StagedFileName(const std::string& finalPath, unsigned long process, unsigned attempt)
{
    const std::filesystem::path path(finalPath);
    const std::string name = "." + path.filename().string() + ".tmp-" + std::to_string(process) + "-"
        + std::to_string(attempt);
    return (path.parent_path() / name).string();
}
