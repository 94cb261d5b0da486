#include "editor/registry_tree.h"

#include <cstdint>
#include <vector>

namespace oxlo::editor {

using platform::RegistryHandle;

namespace {

// Value names may be 16383 characters long, key names 255.
constexpr unsigned kValueNameRoom = 16384;
constexpr unsigned kKeyNameRoom = 256;

bool copyValues(RegistryHandle source, RegistryHandle target) {
    std::vector<char> name(kValueNameRoom);
    for (unsigned index = 0;; ++index) {
        unsigned nameLength = kValueNameRoom;
        const long status = platform::registryEnumValue(source, index, name.data(), &nameLength);
        if (status == platform::kRegistryNoMoreItems) return true;
        if (status != platform::kRegistryOk) return false;
        const std::string valueName(name.data(), nameLength);

        unsigned type = 0;
        unsigned size = 0;
        if (platform::registryQueryValue(source, valueName, &type, nullptr, &size) !=
            platform::kRegistryOk)
            return false;
        std::vector<std::uint8_t> data(size == 0 ? 1 : size);
        if (platform::registryQueryValue(source, valueName, &type, data.data(), &size) !=
            platform::kRegistryOk)
            return false;
        if (platform::registrySetValue(target, valueName, type, data.data(), size) !=
            platform::kRegistryOk)
            return false;
    }
}

} // namespace

bool copyRegistryTree(RegistryHandle root, const std::string& from, const std::string& to) {
    platform::OwnedRegistryKey source;
    if (platform::registryOpenKey(root, from, platform::RegistryAccess::Read, source.receive()) !=
        platform::kRegistryOk)
        return false;
    platform::OwnedRegistryKey target;
    if (platform::registryCreateKey(root, to, target.receive()) != platform::kRegistryOk) return false;
    if (!copyValues(source.get(), target.get())) return false;

    char name[kKeyNameRoom];
    for (unsigned index = 0;; ++index) {
        unsigned nameLength = kKeyNameRoom;
        const long status = platform::registryEnumKey(source.get(), index, name, &nameLength);
        if (status == platform::kRegistryNoMoreItems) return true;
        if (status != platform::kRegistryOk) return false;
        const std::string subkey(name, nameLength);
        if (!copyRegistryTree(root, from + "\\" + subkey, to + "\\" + subkey)) return false;
    }
}

} // namespace oxlo::editor
