// Known folders and the Recycle Bin on the mapped host folder: the folders a Windows profile has,
// below C:, and a Recycle Bin that a whole folder enters in one rename.
#include "platform/shell_folders.h"

#include "platform/portable/fault_injection.h"
#include "platform/portable/portable_files.h"

#include <atomic>
#include <system_error>

namespace oxlo::platform {
namespace fs = std::filesystem;

std::string knownFolderPath(KnownFolder folder)
{
    const std::string path = folder == KnownFolder::ProgramData ? "C:\\ProgramData"
                             : folder == KnownFolder::RoamingAppData
                                 ? "C:\\Users\\oxlo\\AppData\\Roaming"
                                 : "C:\\Users\\oxlo\\Documents";
    std::error_code ignored;
    fs::create_directories(hostPathOf(path), ignored);
    return path;
}

std::string pathForOutsideProgram(const std::string& path) { return hostPathOf(path).string(); }

int moveToRecycleBin(const std::string& path)
{
    if (path.empty() || fault_injection::shouldFail()) return 0;
    const fs::path source = hostPathOf(path);
    std::error_code error;
    if (!fs::exists(source, error)) return 0;
    if (fault_injection::recycleBinUnavailable()) return fs::remove_all(source, error) > 0 && !error;
    const fs::path bin = hostPathOf("C:\\$Recycle.Bin");
    fs::create_directories(bin, error);
    static std::atomic<int> serial{0};
    const fs::path target =
        bin / (std::to_string(++serial) + "-" + source.filename().string());
    fs::rename(source, target, error);
    return error ? 0 : 1;
}

} // namespace oxlo::platform
