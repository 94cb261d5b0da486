#include "win32/scratch_folder.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace oxlo::win32test {
namespace fs = std::filesystem;
namespace {

struct ScratchRoot {
    fs::path root;
    ScratchRoot() {
        root = fs::temp_directory_path() /
               ("oxlo-win32-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(::GetTickCount64() % 100000));
        fs::create_directories(root);
    }
    ~ScratchRoot() {
        std::error_code ignored;
        // Read-only files left by tests would stop the removal.
        for (auto& entry : fs::recursive_directory_iterator(root, ignored))
            ::SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(root, ignored);
    }
};

} // namespace

std::string scratchFolder(const std::string& name) {
    static ScratchRoot scratch;
    const fs::path folder = scratch.root / name;
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    return folder.string() + "\\";
}

std::string writeScratchFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string fileContent(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string standIn(const std::string& name) {
    std::string path = "Z:" OXLO_STANDIN_FOLDER "/" + name + ".exe";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

} // namespace oxlo::win32test
