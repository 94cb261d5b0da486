// Reading and writing files on the host directly, to set up and check what the services did.
#pragma once

#include "support/file_bytes.h"
#include "support/test_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace oxlo::testing {

inline void writeHostBytes(const std::string& windowsPath, const std::string& bytes)
{
    std::ofstream out(hostPath(windowsPath), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string readHostBytes(const std::string& windowsPath)
{
    return readWholeWindowsFile(windowsPath).value_or("<missing>");
}

inline bool hostExists(const std::string& windowsPath)
{
    return std::filesystem::exists(hostPath(windowsPath));
}

inline void setHostReadOnly(const std::string& windowsPath, bool readOnly)
{
    namespace fs = std::filesystem;
    fs::permissions(hostPath(windowsPath), fs::perms::owner_write | fs::perms::group_write |
                                               fs::perms::others_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

} // namespace oxlo::testing
