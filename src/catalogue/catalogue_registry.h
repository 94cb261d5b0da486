// The registry reads of the catalogue that the four registry operations do not cover: listing a
// branch's subkeys and asking whether a key exists.
#pragma once

#include "platform/registry_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace oxlo::catalogue {

// The names of the subkeys of `path` (below the catalogue root), in the registry's enumeration
// order, read to the end before the caller changes anything. A missing key gives none; every
// name the registry can hold (255 characters) fits.
std::vector<std::string> listSubkeys(const std::string& path);

// True when the key `path` (below the catalogue root) exists now.
bool registryKeyExists(const std::string& path);

// The refusal of a folder that registeredMapsetInFolder names the mapset `key` of: writing a
// mapset there would go over that mapset's files.
std::string folderHoldsMapsetText(const std::string& folder, const std::string& key);

// A branch of the catalogue (the Families or Products key) opened once for a whole scan: its
// subkey names, read to the end on opening, and the values of its subkeys, each subkey opened
// once relative to the branch rather than from the root. A branch that cannot be opened has no
// names and gives empty values.
class CatalogueBranch {
public:
    explicit CatalogueBranch(const std::string& path);
    const std::vector<std::string>& names() const { return names_; }
    // False when the branch is there but could not be opened or listed to its end.
    bool complete() const { return complete_; }
    // The subkey `subkeyPath`, opened once for several reads (each a round trip to the registry
    // under Wine); its names are not read.
    CatalogueBranch subkey(const std::string& subkeyPath) const;
    // The values `valueNames` of `subkeyPath` (below the branch; "" for the branch's own key), as
    // readRegistryValue gives them.
    std::vector<std::string> values(const std::string& subkeyPath,
                                    const std::vector<std::string>& valueNames) const;
    // The value `valueName` of `subkeyPath` as an unsigned number: REG_BINARY or REG_DWORD of 1
    // to 4 bytes (little-endian), or REG_SZ of decimal digits alone. Nothing when it is missing,
    // empty, of another type or longer.
    std::optional<std::uint32_t> number(const std::string& subkeyPath,
                                        const std::string& valueName) const;

private:
    CatalogueBranch() = default;
    platform::OwnedRegistryKey key_;
    std::vector<std::string> names_;
    bool complete_ = true;
};

// The product subkey that holds the files of the family key `familyPath`: "1", or when there is
// none the lowest-numbered subkey whose name is a number (a mapset of another product ID); "1"
// also when there is neither.
std::string familyProductSubkey(const std::string& familyPath);

// Whether the key `path` (below the catalogue root) is there. Unknown when it could not be opened
// for another reason than its absence: a caller about to write a key of its own there must not
// take that for absent, since the key may belong to another mapset.
enum class KeyPresence { Present, Absent, Unknown };
KeyPresence registryKeyPresence(const std::string& path);

} // namespace oxlo::catalogue
