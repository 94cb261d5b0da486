// Files the editor must fail to change, held so by the test for as long as the object lives.
#pragma once

#include "platform/services.h"
#include "support/test_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <string>

namespace oxlo::editor_test {

// Keeps a file from being renamed or written while it lives: on Windows by holding it open
// (without write or delete sharing), elsewhere by the immutable flag (which needs the right to
// set it).
class PinnedFile {
public:
    explicit PinnedFile(const std::string& path) {
#ifdef _WIN32
        pinned_ = platform::openFile(kPinFile, path) != 0;
#else
        fd_ = ::open(testing::hostPath(path).c_str(), O_RDONLY);
        int flags = 0;
        pinned_ = fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0 &&
                  ::ioctl(fd_, FS_IOC_SETFLAGS, &(flags |= FS_IMMUTABLE_FL)) == 0;
#endif
    }
    ~PinnedFile() {
#ifdef _WIN32
        if (pinned_) platform::closeFile(kPinFile);
#else
        int flags = 0;
        if (pinned_ && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0)
            ::ioctl(fd_, FS_IOC_SETFLAGS, &(flags &= ~FS_IMMUTABLE_FL));
        if (fd_ >= 0) ::close(fd_);
#endif
    }
    PinnedFile(const PinnedFile&) = delete;
    PinnedFile& operator=(const PinnedFile&) = delete;
    bool pinned() const { return pinned_; }

private:
    static constexpr int kPinFile = 9;
    bool pinned_ = false;
    int fd_ = -1;
};

// Marks a file read-only while it lives: the read-only attribute on Windows, no write permission
// elsewhere (which the portable platform honours also for a privileged user).
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) : path_(path) { set(true); }
    ~ReadOnlyFile() { set(false); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    bool applied() const { return applied_; }

private:
    void set(bool readOnly) {
#ifdef _WIN32
        applied_ = ::SetFileAttributesA(path_.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY
                                                                : FILE_ATTRIBUTE_NORMAL) != 0;
#else
        namespace fs = std::filesystem;
        std::error_code error;
        fs::permissions(testing::hostPath(path_),
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        readOnly ? fs::perm_options::remove : fs::perm_options::add, error);
        applied_ = !error;
#endif
    }
    std::string path_;
    bool applied_ = false;
};

} // namespace oxlo::editor_test
