// The raw file and folder primitives on POSIX, over Windows paths mapped by host_paths.cpp.
// Permission bits stand for the read-only attribute; they are checked here rather than left to
// the kernel, which ignores them for a privileged user.
#include "platform/portable/fault_injection.h"
#include "platform/portable/portable_files.h"
#include "platform/portable/wildcard.h"
#include "platform/system_primitives.h"

#include <cctype>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace oxlo::platform::raw {
namespace {

bool statPath(const std::string& host, struct stat* info) { return ::stat(host.c_str(), info) == 0; }

bool isLinkPath(const std::string& host)
{
    struct stat own {};
    return ::lstat(host.c_str(), &own) == 0 && S_ISLNK(own.st_mode);
}

bool isReadOnly(const struct stat& info) { return (info.st_mode & 0222) == 0; }

} // namespace

File openRaw(const std::string& path, OpenMode mode)
{
    if (fault_injection::shouldFail())
        return kNoFile;
    const std::string host = hostPathOf(path).string();
    struct stat info {};
    const bool exists = statPath(host, &info);
    if (exists && S_ISDIR(info.st_mode))
        return kNoFile;
    int flags = O_RDONLY;
    switch (mode) {
    case OpenMode::ReadWriteAlways:
        flags = O_RDWR | O_CREAT;
        break;
    case OpenMode::WriteTruncate:
        flags = O_WRONLY | O_CREAT | O_TRUNC;
        break;
    case OpenMode::ReadExisting:
        flags = O_RDONLY;
        break;
    }
    if (exists && mode != OpenMode::ReadExisting && isReadOnly(info))
        return kNoFile;
    const int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0666);
    return fd < 0 ? kNoFile : fd;
}

NewFile createNewRaw(const std::string& path)
{
    if (fault_injection::shouldFail())
        return NewFile::Failed;
    struct stat info {};
    if (statPath(hostPathOf(path).string(), &info))
        return NewFile::Exists; // in another letter case, too
    const std::filesystem::path host = hostPathForNew(path);
    // Executable, so that a copied program can run on the host as Windows would run it.
    const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0777);
    if (fd < 0)
        return errno == EEXIST ? NewFile::Exists : NewFile::Failed;
    ::close(fd);
    return NewFile::Created;
}

std::size_t readRaw(File file, void* buffer, std::size_t length)
{
    if (fault_injection::shouldFail())
        return 0;
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(file), buffer, length);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            return 0;
    }
}

bool writeRaw(File file, const void* data, std::size_t length)
{
    if (fault_injection::shouldFail())
        return false;
    const char* bytes = static_cast<const char*>(data);
    while (length != 0) {
        const ssize_t put = ::write(static_cast<int>(file), bytes, length);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes += put;
        length -= static_cast<std::size_t>(put);
    }
    return true;
}

bool seekRaw(File file, std::int64_t position)
{
    if (fault_injection::shouldFail())
        return false;
    return position >= 0 && ::lseek(static_cast<int>(file), position, SEEK_SET) == position;
}

std::int64_t tellRaw(File file) { return ::lseek(static_cast<int>(file), 0, SEEK_CUR); }

void closeRaw(File file)
{
    if (file != kNoFile)
        ::close(static_cast<int>(file));
}

bool findEntry(const std::string& path, Entry* entry)
{
    if (fault_injection::shouldFail())
        return false;
    const std::filesystem::path host = hostPathOf(path);
    struct stat info {};
    if (!statPath(host.string(), &info))
        return false;
    entry->name = host.filename().string();
    entry->folder = S_ISDIR(info.st_mode);
    entry->readOnly = isReadOnly(info);
    entry->link = isLinkPath(host.string());
    entry->size = entry->folder ? 0 : static_cast<std::int64_t>(info.st_size);
    return true;
}

std::vector<Entry> listFolder(const std::string& folder, const std::string& pattern, bool* listed)
{
    std::vector<Entry> entries;
    bool whole = true;
    const auto done = [&](bool read) {
        if (listed)
            *listed = read;
        return entries;
    };
    if (fault_injection::shouldFail())
        return done(false);
    const std::filesystem::path host = hostPathOf(folder);
    DIR* directory = ::opendir(host.c_str());
    if (directory == nullptr)
        return done(errno == ENOENT || errno == ENOTDIR);
    while (const dirent* item = ::readdir(directory)) {
        const std::string name = item->d_name;
        if (name == "." || name == ".." || !matchesWildcard(name, pattern))
            continue;
        struct stat info {};
        if (!statPath((host / name).string(), &info)) {
            whole = false;
            continue;
        }
        entries.push_back(Entry{name, S_ISDIR(info.st_mode), isReadOnly(info),
                                isLinkPath((host / name).string()),
                                S_ISDIR(info.st_mode) ? 0 : static_cast<std::int64_t>(info.st_size)});
    }
    ::closedir(directory);
    return done(whole);
}

bool driveExists(const std::string& root)
{
    if (root.size() < 2 || root[1] != ':' || !std::isalpha(static_cast<unsigned char>(root[0])))
        return false;
    struct stat info {};
    return statPath(hostPathOf(root.substr(0, 2) + "\\").string(), &info) && S_ISDIR(info.st_mode);
}

bool removeFolder(const std::string& folder)
{
    if (fault_injection::shouldFail())
        return false;
    return ::rmdir(hostPathOf(folder).c_str()) == 0;
}

bool removeLink(const std::string& path)
{
    if (fault_injection::shouldFail())
        return false;
    const std::string host = hostPathOf(path).string();
    return isLinkPath(host) && ::unlink(host.c_str()) == 0;
}

// The Recycle Bin is the folder "Trash" beside the drives; a name already there gets a number.
bool recycleRaw(const std::vector<std::string>& paths)
{
    if (fault_injection::shouldFail() || fault_injection::recycleBinUnavailable())
        return false;
    const std::filesystem::path trash = hostRoot() / "Trash";
    std::error_code error;
    std::filesystem::create_directories(trash, error);
    bool all = true;
    for (const std::string& path : paths) {
        const std::filesystem::path from = hostPathOf(path);
        std::filesystem::path to = trash / from.filename();
        for (int number = 2; std::filesystem::exists(to, error); ++number)
            to = trash / (from.filename().string() + "." + std::to_string(number));
        all = ::rename(from.c_str(), to.c_str()) == 0 && all;
    }
    return all;
}

} // namespace oxlo::platform::raw
