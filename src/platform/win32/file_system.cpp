// The file-system operations of services.h that map onto one Win32 call each.
#include "platform/services.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include <vector>

namespace oxlo::platform {

std::string getCurrentDirectory() {
    std::vector<char> buffer(MAX_PATH + 1);
    DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) { // too small: the result is the size needed
        buffer.resize(length + 1);
        length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0 || length >= buffer.size()) return {};
    std::string folder(buffer.data(), length);
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

int setCurrentDirectory(const std::string& folder) {
    return ::SetCurrentDirectoryA(folder.c_str()) ? 1 : 0;
}

int createDirectory(const std::string& folder) {
    std::string path = folder;
    while (!path.empty() && (path.back() == ' ' || path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    if (path.empty()) return 0;
    return ::CreateDirectoryA(path.c_str(), nullptr) ? 1 : 0;
}

int deleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()) ? 1 : 0; }

int renameFile(const std::string& oldPath, const std::string& newPath) {
    return ::MoveFileA(oldPath.c_str(), newPath.c_str()) ? 1 : 0;
}

std::string localAppDataFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    std::string folder(path);
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
