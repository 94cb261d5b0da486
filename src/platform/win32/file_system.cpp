// The file-system operations of services.h that map onto one Win32 call each.
#include "platform/services.h"
#include "platform/win32/wide_text.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include <vector>

namespace oxlo::platform {

std::string getCurrentDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) { // too small: the result is the size needed
        buffer.resize(length + 1);
        length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0 || length >= buffer.size()) return {};
    std::string folder = win32::utf8(buffer.data(), length);
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

int setCurrentDirectory(const std::string& folder) {
    return ::SetCurrentDirectoryW(win32::wide(folder).c_str()) ? 1 : 0;
}

int createDirectory(const std::string& folder) {
    std::string path = folder;
    while (!path.empty() && (path.back() == ' ' || path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    if (path.empty()) return 0;
    return ::CreateDirectoryW(win32::wide(path).c_str(), nullptr) ? 1 : 0;
}

int deleteFile(const std::string& path) { return ::DeleteFileW(win32::wide(path).c_str()) ? 1 : 0; }

int renameFile(const std::string& oldPath, const std::string& newPath) {
    return ::MoveFileW(win32::wide(oldPath).c_str(), win32::wide(newPath).c_str()) ? 1 : 0;
}

std::int64_t freeDiskSpace(const std::string& folder) {
    std::wstring path = win32::wide(folder);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr)) return kNoSuchPath;
    return static_cast<std::int64_t>(available.QuadPart);
}

std::string localAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    std::string folder = win32::utf8(path);
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string localTimeStamp() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return text;
}

} // namespace oxlo::platform
