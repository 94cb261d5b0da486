// The registry primitives of registry_store.h on the Win32 API. MapSource is a 32-bit program and
// on 64-bit Windows reads only the 32-bit registry view, so every open, create and delete here
// names KEY_WOW64_32KEY (enumeration and value calls work on keys opened that way). The wide
// functions are used throughout: names and text values are UTF-16 in the registry and UTF-8 here,
// and the sizes this seam reports for text are those of the UTF-8 form.
#include "platform/registry_store.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace oxlo::platform {

namespace {

constexpr REGSAM kView = KEY_WOW64_32KEY;

// The predefined roots are 32-bit constants that Windows sign-extends to pointer width
// (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 in a 64-bit program).
HKEY toKey(RegistryHandle handle)
{
    if (handle >= 0x80000000u && handle <= 0x80000006u) {
        return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(
            static_cast<LONG_PTR>(static_cast<LONG>(static_cast<ULONG>(handle)))));
    }
    return reinterpret_cast<HKEY>(handle);
}

RegistryHandle fromKey(HKEY key)
{
    return reinterpret_cast<RegistryHandle>(key);
}

REGSAM accessMask(RegistryAccess access)
{
    switch (access) {
    case RegistryAccess::Read:
        return KEY_READ;
    case RegistryAccess::DeleteEnumerate:
        return DELETE | KEY_ENUMERATE_SUB_KEYS;
    case RegistryAccess::Full:
        break;
    }
    return KEY_ALL_ACCESS;
}

// A name received from an enumeration, as UTF-8 in the caller's buffer of `*length` bytes.
long giveName(const std::wstring& name, char* buffer, unsigned* length)
{
    const std::string text = win32::utf8(name);
    if (text.size() + 1 > *length) return ERROR_MORE_DATA;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *length = static_cast<unsigned>(text.size());
    return ERROR_SUCCESS;
}

// Room for any catalogue text (254 UTF-16 characters and the NUL) at the first try: a second
// query costs another round trip to the registry.
constexpr std::size_t kFirstValueBytes = 1024;

// The whole data of a value, however long, read again while it grows between the calls.
LONG wholeValue(HKEY key, const std::wstring& name, DWORD* type, std::vector<BYTE>* data)
{
    data->resize(kFirstValueBytes);
    for (;;) {
        DWORD size = static_cast<DWORD>(data->size());
        const LONG status = ::RegQueryValueExW(key, name.c_str(), nullptr, type,
                                               data->empty() ? nullptr : data->data(), &size);
        if (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && data->size() < size)) {
            data->resize(size);
            continue;
        }
        if (status == ERROR_SUCCESS) data->resize(size);
        return status;
    }
}

} // namespace

bool registryHasSeparate32BitView()
{
    if (sizeof(void*) == 8) return true;
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

long registryConnect(const std::string& computer, RegistryHandle root, RegistryHandle* result)
{
    HKEY key = nullptr;
    const LONG status =
        ::RegConnectRegistryW(computer.empty() ? nullptr : win32::wide(computer).c_str(), toKey(root), &key);
    if (status == ERROR_SUCCESS) {
        *result = fromKey(key);
    }
    return status;
}

long registryCreateKey(RegistryHandle root, const std::string& path, RegistryHandle* result)
{
    HKEY key = nullptr;
    const LONG status = ::RegCreateKeyExW(toKey(root), win32::wide(path).c_str(), 0, nullptr,
                                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | kView,
                                          nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        *result = fromKey(key);
    }
    return status;
}

long registryOpenKey(RegistryHandle root, const std::string& path, RegistryAccess access,
                     RegistryHandle* result)
{
    HKEY key = nullptr;
    const LONG status =
        ::RegOpenKeyExW(toKey(root), win32::wide(path).c_str(), 0, accessMask(access) | kView, &key);
    if (status == ERROR_SUCCESS) {
        *result = fromKey(key);
    }
    return status;
}

long registryEnumKey(RegistryHandle key, unsigned index, char* name, unsigned* nameLength)
{
    // A key name has at most 255 characters; the room of two units each leaves none short when
    // they lie beyond the Basic Multilingual Plane.
    wchar_t wideName[511];
    DWORD length = 511;
    const LONG status =
        ::RegEnumKeyExW(toKey(key), index, wideName, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return status;
    return giveName(std::wstring(wideName, length), name, nameLength);
}

long registryEnumValue(RegistryHandle key, unsigned index, char* name, unsigned* nameLength)
{
    std::vector<wchar_t> wideName(16384); // a value name has at most 16,383 characters
    DWORD length = static_cast<DWORD>(wideName.size());
    const LONG status = ::RegEnumValueW(toKey(key), index, wideName.data(), &length, nullptr,
                                        nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return status;
    return giveName(std::wstring(wideName.data(), length), name, nameLength);
}

long registryDeleteKey(RegistryHandle root, const std::string& path)
{
    return ::RegDeleteKeyExW(toKey(root), win32::wide(path).c_str(), kView, 0);
}

long registryQueryValue(RegistryHandle key, const std::string& name, unsigned* type, void* data,
                        unsigned* size)
{
    // Read whole, so that a text's size can be given in UTF-8 and a number's as it is.
    DWORD valueType = REG_NONE;
    std::vector<BYTE> bytes;
    const LONG status = wholeValue(toKey(key), win32::wide(name), &valueType, &bytes);
    if (type) {
        *type = valueType;
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (isTextType(valueType)) {
        // An odd last byte is no UTF-16 unit and has no UTF-8 form.
        const std::string text = win32::utf8(reinterpret_cast<const wchar_t*>(bytes.data()),
                                             bytes.size() / 2);
        bytes.assign(text.begin(), text.end());
    }
    if (!size) {
        return ERROR_SUCCESS;
    }
    const bool fits = bytes.size() <= *size;
    if (data && fits && !bytes.empty()) {
        std::memcpy(data, bytes.data(), bytes.size());
    }
    *size = static_cast<unsigned>(bytes.size());
    return data && !fits ? ERROR_MORE_DATA : ERROR_SUCCESS;
}

long registrySetValue(RegistryHandle key, const std::string& name, unsigned type, const void* data,
                      unsigned size)
{
    if (isTextType(type)) {
        // Windows adds the NUL that a text's size leaves out (as regedit's import does too).
        const std::wstring text = win32::wide(static_cast<const char*>(data), size);
        return ::RegSetValueExW(toKey(key), win32::wide(name).c_str(), 0, type,
                                reinterpret_cast<const BYTE*>(text.data()),
                                static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    }
    return ::RegSetValueExW(toKey(key), win32::wide(name).c_str(), 0, type,
                            static_cast<const BYTE*>(data), size);
}

long registryQueryStoredValue(RegistryHandle key, const std::string& name, unsigned* type,
                              std::string* data)
{
    DWORD valueType = REG_NONE;
    std::vector<BYTE> bytes;
    const LONG status = wholeValue(toKey(key), win32::wide(name), &valueType, &bytes);
    if (status != ERROR_SUCCESS) return status;
    *type = valueType;
    data->assign(bytes.begin(), bytes.end());
    return ERROR_SUCCESS;
}

long registrySetStoredValue(RegistryHandle key, const std::string& name, unsigned type,
                            const std::string& data)
{
    // RegSetValueExW counts one more unit for a text whose last unit is not NUL when the unit
    // after it in memory is NUL (and looks one unit before the data for a text of one byte). A
    // unit that is no NUL on either side keeps the size as given.
    std::string padded = "\xFF\xFF" + data + "\xFF\xFF\xFF";
    return ::RegSetValueExW(toKey(key), win32::wide(name).c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(padded.data() + 2),
                            static_cast<DWORD>(data.size()));
}

void registryCloseKey(RegistryHandle key)
{
    ::RegCloseKey(toKey(key));
}

} // namespace oxlo::platform
