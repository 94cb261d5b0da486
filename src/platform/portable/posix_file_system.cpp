// The file-system services of services.h that are not shared code, on the mapped host folder.
#include "platform/portable/fault_injection.h"
#include "platform/portable/portable_files.h"
#include "platform/services.h"

#include <sys/stat.h>
#include <unistd.h>

namespace oxlo::platform {
namespace fs = std::filesystem;
namespace {

bool statHost(const fs::path& host, struct stat* info) { return ::stat(host.c_str(), info) == 0; }

bool isReadOnly(const struct stat& info) { return (info.st_mode & 0222) == 0; }

// The host path where a new entry named by the last part of `windowsPath` goes: the parent is
// looked up ignoring case, the new name is kept as written.
fs::path hostPathForNew(const std::string& windowsPath)
{
    const std::string full = fullWindowsPath(windowsPath);
    const std::size_t slash = full.find_last_of('\\');
    if (slash + 1 == full.size())
        return hostPathOf(full); // a drive root
    return hostPathOf(full.substr(0, slash == 2 ? 3 : slash)) / full.substr(slash + 1);
}

} // namespace

std::string getCurrentDirectory()
{
    std::string folder = currentWindowsFolder();
    if (folder.back() != '\\')
        folder += '\\';
    return folder;
}

int setCurrentDirectory(const std::string& folder)
{
    if (fault_injection::shouldFail())
        return 0;
    struct stat info {};
    if (folder.empty() || !statHost(hostPathOf(folder), &info) || !S_ISDIR(info.st_mode))
        return 0;
    setCurrentWindowsFolder(fullWindowsPath(folder));
    return 1;
}

int createDirectory(const std::string& folder)
{
    if (fault_injection::shouldFail())
        return 0;
    std::string trimmed = folder;
    while (!trimmed.empty() &&
           (trimmed.back() == ' ' || trimmed.back() == '/' || trimmed.back() == '\\'))
        trimmed.pop_back();
    if (trimmed.empty())
        return 0;
    struct stat info {};
    const fs::path host = hostPathForNew(trimmed);
    if (statHost(hostPathOf(trimmed), &info))
        return 0; // an existing entry, whatever the letter case
    return ::mkdir(host.c_str(), 0777) == 0 ? 1 : 0;
}

int copyFile(const std::string& source, const std::string& target)
{
    if (fault_injection::shouldFail())
        return 0;
    struct stat info {};
    const fs::path from = hostPathOf(source);
    if (!statHost(from, &info) || !S_ISREG(info.st_mode))
        return 0;
    fs::path to = hostPathOf(target);
    if (statHost(to, &info)) {
        if (!S_ISREG(info.st_mode) || isReadOnly(info))
            return 0;
    } else {
        to = hostPathForNew(target);
    }
    std::error_code error;
    if (fs::equivalent(from, to, error))
        return 0; // Windows refuses to copy a file onto itself
    // A signal handled without SA_RESTART cuts the copy short (EINTR); it is made again from the
    // start, as the reads and writes of the numbered files go on after one.
    while (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error)) {
        if (error != std::errc::interrupted)
            return 0;
    }
    return 1;
}

int deleteFile(const std::string& path)
{
    if (fault_injection::shouldFail())
        return 0;
    struct stat info {};
    const fs::path host = hostPathOf(path);
    if (!statHost(host, &info) || !S_ISREG(info.st_mode) || isReadOnly(info))
        return 0;
    return ::unlink(host.c_str()) == 0 ? 1 : 0;
}

int renameFile(const std::string& oldPath, const std::string& newPath)
{
    if (fault_injection::shouldFail())
        return 0;
    struct stat info {};
    const fs::path from = hostPathOf(oldPath);
    if (!statHost(from, &info))
        return 0;
    const fs::path existing = hostPathOf(newPath);
    const fs::path to = hostPathForNew(newPath);
    // A target that exists fails, unless it is the source itself under another letter case.
    std::error_code error;
    if (statHost(existing, &info) && !fs::equivalent(from, existing, error))
        return 0;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 1 : 0;
}

} // namespace oxlo::platform
