// The program's registry operations. Values go in and out as text; keys are named by a root and a
// path; each call opens, uses and closes its own handles (built on registry_store.h, so every
// access goes to the 32-bit view). The computer name is empty for the local registry.
#pragma once

#include "platform/registry_store.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace oxlo::platform {

// Value type codes of writeRegistryValue.
inline constexpr int kValueText = 1;   // REG_SZ, the text and its NUL
inline constexpr int kValueBinary = 3; // REG_BINARY, low 16 bits little-endian (2 bytes)
inline constexpr int kValueDword = 4;  // REG_DWORD, 4 bytes little-endian

// The most characters a REG_SZ value may have for readRegistryValue to give it back.
inline constexpr unsigned kMaxTextCharacters = 254;
// Characters of UTF-8 text as readRegistryValue counts them: every byte but the continuation
// bytes 0x80 to 0xBF.
std::size_t characterCount(const std::string& text);

// 1 when the key exists now (created or opened), 0 on failure. One leading backslash is removed.
int createRegistryKey(RegistryHandle root, const std::string& path, const std::string& computer);
// Deletes the key and all its subkeys, depth first. An empty path touches nothing and gives 0.
// The path is used as given. 1 when the key itself was deleted.
int deleteRegistryTree(RegistryHandle root, const std::string& path);
// The value as text: REG_SZ its characters (at most 254, so at most 1,016 bytes of UTF-8),
// REG_DWORD/REG_BINARY the signed decimal of their little-endian bytes; the empty text for a
// missing key or value, over-long data (more than 1,017 bytes) or another type; "0" when a number
// cannot be read.
std::string readRegistryValue(RegistryHandle root, const std::string& path,
                              const std::string& valueName, const std::string& computer);
// What readRegistryValue gives for a value of `type` holding `data`.
std::string registryValueText(unsigned type, std::string_view data);
// The values `valueNames` of one key, each as readRegistryValue gives it, through a single open of
// the key (for reading) below `root`, which may be any open key; an empty `path` reads `root`
// itself without opening anything. A missing key gives empty texts.
std::vector<std::string> readRegistryValues(RegistryHandle root, const std::string& path,
                                            const std::vector<std::string>& valueNames);
// The path, below HKEY_LOCAL_MACHINE, under which a .reg file must name the key `path` (below
// HKEY_LOCAL_MACHINE, 32-bit view) for regedit, started by a double-click, to put it back there.
// That regedit is a native program: on 64-bit Windows it reaches the 32-bit view's keys below
// SOFTWARE as SOFTWARE\WOW6432Node\...; on 32-bit Windows the path stays as it is.
std::string registryImportPath(const std::string& path);

// Writes into an existing key (never creates it). A key that cannot be opened shows the "Fehler"
// box and gives 0, as does a value that cannot be set; any other type code writes nothing and
// gives 1.
int writeRegistryValue(RegistryHandle root, const std::string& path, const std::string& valueName,
                       const std::string& data, int typeCode, const std::string& computer);

} // namespace oxlo::platform
