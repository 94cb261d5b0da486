#include "support/file_bytes.h"

#include "support/test_folder.h"

#include <fstream>

namespace oxlo::testing {

std::optional<std::string> readWholeFile(const std::filesystem::path& hostFile)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(hostFile, error)) return std::nullopt;
    std::ifstream in(hostFile, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(in.gcount()) != bytes.size()) return std::nullopt;
    return bytes;
}

std::optional<std::string> readWholeWindowsFile(const std::string& windowsPath)
{
    return readWholeFile(hostPath(windowsPath));
}

} // namespace oxlo::testing
