// Whole registry keys held in memory: read with every value (type and bytes exact) and subkey,
// written back elsewhere or to the same place. A family key that is renamed must keep its values
// byte for byte (its "ID" is a 2-byte REG_BINARY), and a key about to be replaced is held this way
// so that it can be put back when the change fails half-way.
#pragma once

#include "platform/registry_store.h"

#include <optional>
#include <string>
#include <vector>

namespace oxlo::catalogue {

struct RegistryTreeValue {
    std::string name;
    unsigned type = 0;
    // Texts in UTF-8 (their NULs included), other data as it is. A text that would not come back
    // exactly through UTF-8 (a lone surrogate, an odd length, no closing NUL) keeps the bytes the
    // registry holds, UTF-16LE, and is marked `stored`.
    std::vector<unsigned char> bytes;
    bool stored = false;
};

struct RegistryTree {
    // Declared here and defaulted below: an implicit one would make clang with libstdc++ ask
    // whether the pair below can be default-constructed while RegistryTree is still incomplete.
    RegistryTree();
    std::vector<RegistryTreeValue> values;                      // in enumeration order
    std::vector<std::pair<std::string, RegistryTree>> subkeys;  // name and contents
};

inline RegistryTree::RegistryTree() = default;

// The key at `path` below `root` with everything in it; nothing when any part cannot be read.
std::optional<RegistryTree> readRegistryTree(platform::RegistryHandle root, const std::string& path);

// Creates `path` and its subkeys as needed and writes every value of `tree` into them. Values and
// subkeys already there and not in `tree` stay. False as soon as anything cannot be written.
bool writeRegistryTree(platform::RegistryHandle root, const std::string& path,
                       const RegistryTree& tree);

// Copies every value and subkey of `from` into `to`. False as soon as anything cannot be read or
// written; the caller removes the partial copy.
bool copyRegistryTree(platform::RegistryHandle root, const std::string& from, const std::string& to);

// True when both hold the same values (type, bytes and form) and subkeys, names compared without regard
// to letter case as the registry compares them, in whatever order.
bool sameRegistryTree(const RegistryTree& a, const RegistryTree& b);

// Puts a key back as it was read: removes whatever is at `path` now, then writes `tree` there
// (over what could not be removed). False when anything could not be removed or written.
bool restoreRegistryTree(platform::RegistryHandle root, const std::string& path,
                         const RegistryTree& tree);

// Deletes the key with all its subkeys, or leaves it as it was: a key that cannot be read whole
// first is not touched, and one whose deletion stops half-way gets back what was deleted. True
// only when the key is gone.
bool deleteRegistryTreeOrKeep(platform::RegistryHandle root, const std::string& path);

} // namespace oxlo::catalogue
