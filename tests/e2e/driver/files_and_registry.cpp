#include "driver/driver.h"
#include "driver/failure.h"

#include <fstream>
#include <iterator>

namespace oxlo::e2e {

namespace {

void removeFolderContents(const std::string& folder) {
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeFolderContents(path);
            RemoveDirectoryA(path.c_str());
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

struct Key {
    HKEY handle = nullptr;
    ~Key() {
        if (handle) RegCloseKey(handle);
    }
};

} // namespace

void makeEmptyFolder(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        removeFolderContents(folder);
        return;
    }
    // Create the parents first: "C:\a\b\c" needs "C:\a" and "C:\a\b".
    for (std::size_t slash = folder.find('\\', 3); slash != std::string::npos;
         slash = folder.find('\\', slash + 1)) {
        CreateDirectoryA(folder.substr(0, slash).c_str(), nullptr);
    }
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        failWithError("cannot create folder " + folder, GetLastError());
    }
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void copyFile(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        failWithError("cannot copy " + from + " to " + to, GetLastError());
    }
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void deleteRegistryTree32(HKEY root, const std::string& subKey) {
    Key key;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key.handle) !=
        ERROR_SUCCESS) {
        return;
    }
    LSTATUS status = RegDeleteTreeA(key.handle, nullptr);
    if (status == ERROR_SUCCESS) status = RegDeleteKeyExA(root, subKey.c_str(), KEY_WOW64_32KEY, 0);
    if (status != ERROR_SUCCESS) failWithError("cannot delete registry key " + subKey, status);
}

namespace {

void writeRegistryValue32(HKEY root, const std::string& subKey, const std::string& name,
                          DWORD type, const void* data, DWORD size) {
    Key key;
    LSTATUS status = RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key.handle, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(key.handle, name.c_str(), 0, type,
                                static_cast<const BYTE*>(data), size);
    }
    if (status != ERROR_SUCCESS) {
        failWithError("cannot write registry value " + subKey + "\\" + name, status);
    }
}

} // namespace

void writeRegistryString32(HKEY root, const std::string& subKey, const std::string& name,
                           const std::string& value) {
    writeRegistryValue32(root, subKey, name, REG_SZ, value.c_str(),
                         static_cast<DWORD>(value.size() + 1));
}

void writeRegistryBinary32(HKEY root, const std::string& subKey, const std::string& name,
                           const std::vector<unsigned char>& bytes) {
    writeRegistryValue32(root, subKey, name, REG_BINARY, bytes.data(),
                         static_cast<DWORD>(bytes.size()));
}

std::optional<std::string> readRegistryString32(HKEY root, const std::string& subKey,
                                                const std::string& name) {
    Key key;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key.handle) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.handle, name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::string value(size, '\0');
    if (RegQueryValueExA(key.handle, name.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(size);
    while (!value.empty() && value.back() == '\0') value.pop_back();
    return value;
}

bool registryKeyExists32(HKEY root, const std::string& subKey) {
    Key key;
    return RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key.handle) ==
           ERROR_SUCCESS;
}

} // namespace oxlo::e2e
