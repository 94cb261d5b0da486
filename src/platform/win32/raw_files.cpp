// Files and folder entries of system_primitives.h on the Win32 API.
#include "platform/system_primitives.h"
#include "platform/wildcard_match.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_handles.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace oxlo::platform::raw {

namespace {

HANDLE handleOf(File file) { return reinterpret_cast<HANDLE>(file); }

// ReadFile and WriteFile take 32-bit lengths; larger requests go in pieces.
constexpr std::size_t kMaxChunk = std::numeric_limits<DWORD>::max() / 2;

bool hasWildcard(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

// "*" and "?" against the long name only, ignoring letter case as Windows does. FindFirstFileW
// also matches the 8.3 short names ("*.img" finds "a.imgx" through "A~1.IMG"), which would let a
// clean-up delete files it was never asked to touch, so its results are filtered again here.
bool nameMatches(const std::wstring& pattern, const std::wstring& name) {
    return wildcardMatches(name, pattern, [](wchar_t a, wchar_t b) {
        return ::CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL;
    });
}

Entry entryFrom(const WIN32_FIND_DATAW& data) {
    Entry entry;
    entry.name = win32::utf8(data.cFileName);
    entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    entry.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                           data.nFileSizeLow);
    return entry;
}

// Windows refuses every user write access to a read-only file; Wine lets a root user write it
// anyway (it keeps the attribute as a permission bit), so the attribute is checked here too.
bool isReadOnlyFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) ==
               FILE_ATTRIBUTE_READONLY;
}

} // namespace

File openRaw(const std::string& path, OpenMode mode) {
    const std::wstring name = win32::wide(path);
    if (mode != OpenMode::ReadExisting && isReadOnlyFile(name)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return kNoFile;
    }
    HANDLE h = INVALID_HANDLE_VALUE;
    switch (mode) {
    case OpenMode::ReadWriteAlways:
        h = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    case OpenMode::WriteTruncate:
        h = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) // e.g. a hidden file refuses CREATE_ALWAYS
            h = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    case OpenMode::ReadExisting:
        h = ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    }
    return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<File>(h);
}

std::size_t readRaw(File file, void* buffer, std::size_t length) {
    if (file == kNoFile) return 0;
    auto* out = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < length) {
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min(length - total, kMaxChunk));
        if (!::ReadFile(handleOf(file), out + total, want, &got, nullptr) || got == 0) break;
        total += got;
    }
    return total;
}

bool writeRaw(File file, const void* data, std::size_t length) {
    if (file == kNoFile) return false;
    const auto* in = static_cast<const char*>(data);
    std::size_t total = 0;
    while (total < length) {
        DWORD put = 0;
        const auto want = static_cast<DWORD>(std::min(length - total, kMaxChunk));
        if (!::WriteFile(handleOf(file), in + total, want, &put, nullptr) || put == 0) return false;
        total += put;
    }
    return true;
}

bool seekRaw(File file, std::int64_t position) {
    if (file == kNoFile || position < 0) return false;
    LARGE_INTEGER to;
    to.QuadPart = position;
    return ::SetFilePointerEx(handleOf(file), to, nullptr, FILE_BEGIN) != 0;
}

std::int64_t tellRaw(File file) {
    if (file == kNoFile) return -1;
    LARGE_INTEGER zero{};
    LARGE_INTEGER now{};
    if (!::SetFilePointerEx(handleOf(file), zero, &now, FILE_CURRENT)) return -1;
    return now.QuadPart;
}

void closeRaw(File file) {
    if (file != kNoFile) ::CloseHandle(handleOf(file));
}

bool findEntry(const std::string& path, Entry* entry) {
    if (path.empty() || hasWildcard(path)) return false;
    // The attributes of the path itself: one call, where a search reads through the folder (five
    // to twenty times slower under Wine, and done for every file of every mapset listed).
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (::GetFileAttributesExW(win32::wide(path).c_str(), GetFileExInfoStandard, &attributes)) {
        if (entry) {
            entry->name = path.substr(path.find_last_of("\\/") + 1);
            entry->folder = (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entry->readOnly = (attributes.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
            entry->link = (attributes.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            entry->size = static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(attributes.nFileSizeHigh) << 32) |
                attributes.nFileSizeLow);
        }
        return true;
    }
    // A file that Windows holds open for itself (pagefile.sys) refuses its attributes; its folder
    // still lists it.
    if (::GetLastError() != ERROR_SHARING_VIOLATION) return false;
    WIN32_FIND_DATAW data;
    win32::UniqueFind find(::FindFirstFileW(win32::wide(path).c_str(), &data));
    if (!find) return false;
    if (entry) *entry = entryFrom(data);
    return true;
}

std::vector<Entry> listFolder(const std::string& folder, const std::string& pattern, bool* listed) {
    std::vector<Entry> entries;
    const std::wstring wanted = win32::wide(pattern.empty() ? std::string("*.*") : pattern);
    WIN32_FIND_DATAW data;
    win32::UniqueFind find(::FindFirstFileW((win32::wide(folder) + wanted).c_str(), &data));
    if (!find) {
        // No match and no folder are answers; anything else is a listing that failed.
        const DWORD error = ::GetLastError();
        if (listed) *listed = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return entries;
    }
    for (;;) {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L".." && nameMatches(wanted, name))
            entries.push_back(entryFrom(data));
        if (!::FindNextFileW(find.get(), &data)) {
            const DWORD error = ::GetLastError(); // read at once: the loop's calls may set it
            if (listed) *listed = error == ERROR_NO_MORE_FILES;
            return entries;
        }
    }
}

bool driveExists(const std::string& root) {
    return ::GetDriveTypeW(win32::wide(root).c_str()) > DRIVE_NO_ROOT_DIR;
}

bool removeFolder(const std::string& folder) {
    return ::RemoveDirectoryW(win32::wide(folder).c_str()) != 0;
}

bool removeLink(const std::string& path) {
    // A folder link (junction, symbolic link) goes with RemoveDirectoryW, which removes the link
    // and never enters it; a file link with DeleteFileW.
    const std::wstring wide = win32::wide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return false;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? ::RemoveDirectoryW(wide.c_str()) != 0
                                                        : ::DeleteFileW(wide.c_str()) != 0;
}

} // namespace oxlo::platform::raw
