#include "catalogue/registry_tree.h"

#include "catalogue/mapset_names.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <algorithm>
#include <memory>

namespace oxlo::catalogue {

using platform::RegistryHandle;

namespace {

// Value names may be 16383 UTF-16 units long; in UTF-8 each unit takes at most three bytes (a
// pair of surrogates, two units, takes four).
constexpr unsigned kValueNameRoom = 16383 * 3 + 1;

// The value as the registry holds it, in the form RegistryTreeValue gives it. A text is taken in
// UTF-8 only when it is whole UTF-16 ending in a NUL: Windows adds a NUL to a text set without
// one, so any other text would not be set back as it was.
RegistryTreeValue treeValue(std::string name, unsigned type, const std::string& stored) {
    RegistryTreeValue value{std::move(name), type, {stored.begin(), stored.end()}};
    if (!platform::isTextType(type) || stored.empty()) return value;
    bool exact = false;
    const std::string text = platform::textFromUtf16LittleEndian(stored, &exact);
    if (exact && text.back() == '\0')
        value.bytes.assign(text.begin(), text.end());
    else
        value.stored = true;
    return value;
}

bool readValues(RegistryHandle key, RegistryTree& tree) {
    // A name is read into room for a key name first; only a longer one takes the room of the
    // longest, which is not cleared (each enumeration writes the name it gives) and taken only
    // then: its allocation cost more than reading a key of a few values.
    char shortName[platform::kKeyNameRoom];
    std::unique_ptr<char[]> longName;
    for (unsigned index = 0;; ++index) {
        char* name = shortName;
        unsigned nameLength = platform::kKeyNameRoom;
        long status = platform::registryEnumValue(key, index, name, &nameLength);
        if (status == platform::kRegistryMoreData) {
            if (!longName) longName = std::make_unique_for_overwrite<char[]>(kValueNameRoom);
            name = longName.get();
            nameLength = kValueNameRoom;
            status = platform::registryEnumValue(key, index, name, &nameLength);
        }
        if (status == platform::kRegistryNoMoreItems) return true;
        if (status != platform::kRegistryOk) return false;
        std::string valueName(name, nameLength);
        unsigned type = 0;
        std::string stored;
        if (platform::registryQueryStoredValue(key, valueName, &type, &stored) !=
            platform::kRegistryOk)
            return false;
        tree.values.push_back(treeValue(std::move(valueName), type, stored));
    }
}

long setValue(RegistryHandle key, const RegistryTreeValue& value) {
    if (value.stored)
        return platform::registrySetStoredValue(key, value.name, value.type,
                                                {value.bytes.begin(), value.bytes.end()});
    return platform::registrySetValue(key, value.name, value.type, value.bytes.data(),
                                      static_cast<unsigned>(value.bytes.size()));
}

} // namespace

bool sameRegistryTree(const RegistryTree& a, const RegistryTree& b) {
    if (a.values.size() != b.values.size() || a.subkeys.size() != b.subkeys.size()) return false;
    for (const RegistryTreeValue& value : a.values) {
        const auto match = std::find_if(b.values.begin(), b.values.end(), [&](const auto& other) {
            return sameIgnoringCase(value.name, other.name);
        });
        if (match == b.values.end() || match->type != value.type ||
            match->stored != value.stored || match->bytes != value.bytes)
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
    char name[platform::kKeyNameRoom];
    for (unsigned index = 0;; ++index) {
        unsigned nameLength = platform::kKeyNameRoom;
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
        if (setValue(key.get(), value) != platform::kRegistryOk) return false;
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
