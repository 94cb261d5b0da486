// The file-system services of services.h that are not shared code, on the mapped host folder.
#include "platform/portable/fault_injection.h"
#include "platform/portable/portable_environment.h"
#include "platform/portable/portable_files.h"
#include "platform/services.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace oxlo::platform {
namespace fs = std::filesystem;
namespace {

bool statHost(const fs::path& host, struct stat* info) { return ::stat(host.c_str(), info) == 0; }

bool isReadOnly(const struct stat& info) { return (info.st_mode & 0222) == 0; }

long long freeSpaceCap = -1;

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

bool sameFile(const std::string& first, const std::string& second)
{
    if (fault_injection::shouldFail())
        return false;
    struct stat one {}, other {};
    return statHost(hostPathOf(first), &one) && statHost(hostPathOf(second), &other) &&
           one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

int replaceFile(const std::string& from, const std::string& to)
{
    if (fault_injection::shouldFail())
        return 0;
    struct stat info {};
    const fs::path source = hostPathOf(from);
    if (!statHost(source, &info) || !S_ISREG(info.st_mode) || isReadOnly(info))
        return 0;
    fs::path target = hostPathOf(to);
    if (statHost(target, &info)) {
        if (!S_ISREG(info.st_mode) || isReadOnly(info))
            return 0;
    } else {
        target = hostPathForNew(to);
    }
    return ::rename(source.c_str(), target.c_str()) == 0 ? 1 : 0;
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

void capFreeDiskSpace(long long bytes) { freeSpaceCap = bytes; }

std::int64_t freeDiskSpace(const std::string& folder)
{
    if (fault_injection::shouldFail())
        return kNoSuchPath;
    struct statvfs info {};
    if (::statvfs(hostPathOf(folder).c_str(), &info) != 0)
        return kNoSuchPath;
    const auto free = static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
    return freeSpaceCap >= 0 && freeSpaceCap < free ? freeSpaceCap : free;
}

} // namespace oxlo::platform
