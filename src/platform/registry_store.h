// The registry primitives of the platform seam, with the semantics of the Win32 calls they stand
// for (RegConnectRegistryW, RegCreateKeyExW, RegOpenKeyExW, RegEnumKeyExW, RegDeleteKeyExW,
// RegQueryValueExW, RegSetValueExW, RegCloseKey).
//
// - Names, paths and the data of text values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are UTF-8
//   here, whatever form the registry keeps them in; every size of such data is that of its UTF-8
//   bytes (its NULs included). Other data passes as its bytes.
//
// - Every key is opened, created, enumerated and deleted in the 32-bit registry view, the one
//   MapSource reads on 64-bit Windows, whatever Oxlo's own bitness.
// - Results are Win32 status codes (0 success). Names compare without regard to letter case,
//   as sameTextIgnoringCase (services.h) compares them.
// - A handle returned through `result` is owned by the caller and released with
//   registryCloseKey; the predefined roots need no release.
// Implementations: platform/win32 (the real registry) and platform/portable (in memory).
// The program's own registry operations (createRegistryKey and friends) are built on these in
// platform/registry.h.
#pragma once

#include <cstdint>
#include <string>

namespace oxlo::platform {

using RegistryHandle = std::uintptr_t;

inline constexpr RegistryHandle kLocalMachine = 0x80000002u;

inline constexpr long kRegistryOk = 0;
inline constexpr long kRegistryNotFound = 2;
inline constexpr long kRegistryAccessDenied = 5;
inline constexpr long kRegistryMoreData = 234;
inline constexpr long kRegistryNoMoreItems = 259;

inline constexpr unsigned kRegNone = 0;
inline constexpr unsigned kRegSz = 1;
inline constexpr unsigned kRegExpandSz = 2;
inline constexpr unsigned kRegBinary = 3;
inline constexpr unsigned kRegDword = 4;
inline constexpr unsigned kRegMultiSz = 7;

// The types whose data is UTF-16 text.
inline constexpr bool isTextType(unsigned type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Room for any key name and its NUL in UTF-8: 255 characters of any script, up to 4 bytes each.
inline constexpr unsigned kKeyNameRoom = 255 * 4 + 1;

enum class RegistryAccess {
    Read,            // KEY_READ
    Full,            // KEY_ALL_ACCESS
    DeleteEnumerate, // DELETE | KEY_ENUMERATE_SUB_KEYS
};

// True when the 32-bit view is a view of its own (64-bit Windows, a 64-bit Wine prefix), whose
// keys below HKEY_LOCAL_MACHINE\SOFTWARE are stored under SOFTWARE\WOW6432Node.
bool registryHasSeparate32BitView();

long registryConnect(const std::string& computer, RegistryHandle root, RegistryHandle* result);
// Opens the key, creating it (and missing parents) when needed, with full access.
long registryCreateKey(RegistryHandle root, const std::string& path, RegistryHandle* result);
long registryOpenKey(RegistryHandle root, const std::string& path, RegistryAccess access,
                     RegistryHandle* result);
// Name of the subkey at `index`. `nameLength` is the buffer size in bytes on entry (room for the
// terminating NUL included) and the name's length in bytes on success; a name that does not fit
// gives kRegistryMoreData. Any key name fits kKeyNameRoom bytes.
long registryEnumKey(RegistryHandle key, unsigned index, char* name, unsigned* nameLength);
// Name of the value at `index` (as RegEnumValueW, without type and data); `nameLength` as for
// registryEnumKey; kRegistryNoMoreItems past the last value. Lets a key be copied value by value.
long registryEnumValue(RegistryHandle key, unsigned index, char* name, unsigned* nameLength);
// Deletes a key that has no subkeys.
long registryDeleteKey(RegistryHandle root, const std::string& path);
// As RegQueryValueExW: `data` may be null to ask for the size only; `size` is the buffer size on
// entry and the value's size afterwards; too small a buffer gives kRegistryMoreData.
long registryQueryValue(RegistryHandle key, const std::string& name, unsigned* type, void* data,
                        unsigned* size);
long registrySetValue(RegistryHandle key, const std::string& name, unsigned type, const void* data,
                      unsigned size);
// The data of a value as the registry keeps it, with nothing converted: texts in their UTF-16LE
// form, whatever they hold (a lone surrogate, an odd length, no closing NUL). For copies that
// must give back every byte.
long registryQueryStoredValue(RegistryHandle key, const std::string& name, unsigned* type,
                              std::string* data);
// Sets the data exactly as given, texts in their UTF-16LE form: nothing is converted or added.
long registrySetStoredValue(RegistryHandle key, const std::string& name, unsigned type,
                            const std::string& data);
void registryCloseKey(RegistryHandle key);

// Owns a handle received from registryConnect, registryCreateKey or registryOpenKey (which leave
// it 0 when they fail) and closes it on every way out.
class OwnedRegistryKey {
public:
    OwnedRegistryKey() = default;
    OwnedRegistryKey(const OwnedRegistryKey&) = delete;
    OwnedRegistryKey& operator=(const OwnedRegistryKey&) = delete;
    OwnedRegistryKey(OwnedRegistryKey&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }
    ~OwnedRegistryKey()
    {
        if (handle_ != 0) {
            registryCloseKey(handle_);
        }
    }
    RegistryHandle* receive() { return &handle_; }
    RegistryHandle get() const { return handle_; }

private:
    RegistryHandle handle_ = 0;
};

} // namespace oxlo::platform
