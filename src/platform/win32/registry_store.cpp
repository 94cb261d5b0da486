// The registry primitives of registry_store.h on the Win32 API. MapSource is a 32-bit program and
// on 64-bit Windows reads only the 32-bit registry view, so every open, create and delete here
// names KEY_WOW64_32KEY (enumeration and value calls work on keys opened that way).
#include "platform/registry_store.h"

#include <windows.h>

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
        ::RegConnectRegistryA(computer.empty() ? nullptr : computer.c_str(), toKey(root), &key);
    if (status == ERROR_SUCCESS) {
        *result = fromKey(key);
    }
    return status;
}

long registryCreateKey(RegistryHandle root, const std::string& path, RegistryHandle* result)
{
    HKEY key = nullptr;
    const LONG status = ::RegCreateKeyExA(toKey(root), path.c_str(), 0, nullptr,
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
        ::RegOpenKeyExA(toKey(root), path.c_str(), 0, accessMask(access) | kView, &key);
    if (status == ERROR_SUCCESS) {
        *result = fromKey(key);
    }
    return status;
}

long registryEnumKey(RegistryHandle key, unsigned index, char* name, unsigned* nameLength)
{
    DWORD length = *nameLength;
    const LONG status =
        ::RegEnumKeyExA(toKey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) {
        *nameLength = length;
    }
    return status;
}

long registryEnumValue(RegistryHandle key, unsigned index, char* name, unsigned* nameLength)
{
    DWORD length = *nameLength;
    const LONG status =
        ::RegEnumValueA(toKey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) {
        *nameLength = length;
    }
    return status;
}

long registryDeleteKey(RegistryHandle root, const std::string& path)
{
    return ::RegDeleteKeyExA(toKey(root), path.c_str(), kView, 0);
}

long registryQueryValue(RegistryHandle key, const std::string& name, unsigned* type, void* data,
                        unsigned* size)
{
    DWORD valueType = REG_NONE;
    DWORD valueSize = size ? *size : 0;
    const LONG status = ::RegQueryValueExA(toKey(key), name.c_str(), nullptr, &valueType,
                                           static_cast<LPBYTE>(data), size ? &valueSize : nullptr);
    if (type) {
        *type = valueType;
    }
    if (size && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)) {
        *size = valueSize;
    }
    return status;
}

long registrySetValue(RegistryHandle key, const std::string& name, unsigned type, const void* data,
                      unsigned size)
{
    return ::RegSetValueExA(toKey(key), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                            size);
}

void registryCloseKey(RegistryHandle key)
{
    ::RegCloseKey(toKey(key));
}

} // namespace oxlo::platform
