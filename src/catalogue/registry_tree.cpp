#include "catalogue/registry_tree.h"

#include "catalogue/mapset_names.h"
#include "platform/registry.h"

#include <algorithm>
#include <memory>

namespace oxlo::catalogue {

using platform::RegistryHandle;

namespace {

// Value names may be 16383 UTF-16 units long, key names 255; in UTF-8 each unit takes at most
// three bytes (a pair of surrogates, two units, takes four).
constexpr unsigned kValueNameRoom = 16383 * 3 + 1;
constexpr unsigned kKeyNameRoom = 255 * 3 + 1;

bool readValues(RegistryHandle key, RegistryTree& tree) {
    // Not cleared: each enumeration writes the name it gives, and clearing the room of the
    // longest name cost more than reading a key of a few values.
    const auto name = std::make_unique_for_overwrite<char[]>(kValueNameRoom);
    for (unsigned index = 0;; ++index) {
        unsigned nameLength = kValueNameRoom;
        const long status = platform::registryEnumValue(key, index, name.get(), &nameLength);
        if (status == platform::kRegistryNoMoreItems) return true;
        if (status != platform::kRegistryOk) return false;
        RegistryTreeValue value;
        value.name.assign(name.get(), nameLength);
        unsigned size = 0;
        if (platform::registryQueryValue(key, value.name, &value.type, nullptr, &size) !=
            platform::kRegistryOk)
            return false;
        value.bytes.resize(size == 0 ? 1 : size);
        if (platform::registryQueryValue(key, value.name, &value.type, value.bytes.data(), &size) !=
            platform::kRegistryOk)
            return false;
        value.bytes.resize(size);
        tree.values.push_back(std::move(value));
    }
}

} // namespace

bool sameRegistryTree(const RegistryTree& a, const RegistryTree& b) {
    if (a.values.size() != b.values.size() || a.subkeys.size() != b.subkeys.size()) return false;
    for (const RegistryTreeValue& value : a.values) {
        const auto match = std::find_if(b.values.begin(), b.values.end(), [&](const auto& other) {
            return sameIgnoringCase(value.name, other.name);
        });
        if (match == b.values.end() || match->type != value.type || match->bytes != value.bytes)
            return false;
    }
    for (const auto& subkey : a.subkeys) {
        const auto match = std::find_if(b.subkeys.begin(), b.subkeys.end(), [&](const auto& other) {
            return sameIgnoringCase(subkey.first, other.first);
        });
        if (match == b.subkeys.end() || !sameRegistryTree(subkey.second, match->second))
            return false;
    }
    return true;
}

std::optional<RegistryTree> readRegistryTree(RegistryHandle root, const std::string& path) {
    platform::OwnedRegistryKey key;
    if (platform::registryOpenKey(root, path, platform::RegistryAccess::Read, key.receive()) !=
        platform::kRegistryOk)
        return std::nullopt;
    RegistryTree tree;
    if (!readValues(key.get(), tree)) return std::nullopt;
    char name[kKeyNameRoom];
    for (unsigned index = 0;; ++index) {
        unsigned nameLength = kKeyNameRoom;
        const long status = platform::registryEnumKey(key.get(), index, name, &nameLength);
        if (status == platform::kRegistryNoMoreItems) return tree;
        if (status != platform::kRegistryOk) return std::nullopt;
        const std::string subkey(name, nameLength);
        std::optional<RegistryTree> contents = readRegistryTree(root, path + "\\" + subkey);
        if (!contents) return std::nullopt;
        tree.subkeys.emplace_back(subkey, std::move(*contents));
    }
}

bool writeRegistryTree(RegistryHandle root, const std::string& path, const RegistryTree& tree) {
    platform::OwnedRegistryKey key;
    if (platform::registryCreateKey(root, path, key.receive()) != platform::kRegistryOk) return false;
    for (const RegistryTreeValue& value : tree.values) {
        if (platform::registrySetValue(key.get(), value.name, value.type, value.bytes.data(),
                                       static_cast<unsigned>(value.bytes.size())) !=
            platform::kRegistryOk)
            return false;
    }
    for (const auto& [subkey, contents] : tree.subkeys)
        if (!writeRegistryTree(root, path + "\\" + subkey, contents)) return false;
    return true;
}

bool copyRegistryTree(RegistryHandle root, const std::string& from, const std::string& to) {
    const std::optional<RegistryTree> tree = readRegistryTree(root, from);
    return tree && writeRegistryTree(root, to, *tree);
}

bool restoreRegistryTree(RegistryHandle root, const std::string& path, const RegistryTree& tree) {
    bool cleared = platform::deleteRegistryTree(root, path) == 1;
    if (!cleared) {
        platform::OwnedRegistryKey leftOver;
        cleared = platform::registryOpenKey(root, path, platform::RegistryAccess::Read,
                                            leftOver.receive()) != platform::kRegistryOk;
    }
    // What could not be removed is still overwritten with the values it had.
    const bool written = writeRegistryTree(root, path, tree);
    return cleared && written;
}

bool deleteRegistryTreeOrKeep(RegistryHandle root, const std::string& path) {
    const std::optional<RegistryTree> tree = readRegistryTree(root, path);
    if (!tree) return false;
    if (platform::deleteRegistryTree(root, path) == 1) return true;
    restoreRegistryTree(root, path, *tree);
    return false;
}

} // namespace oxlo::catalogue
