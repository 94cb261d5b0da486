#include "editor/registry_tree.h"

#include <cstdint>
#include <vector>

namespace oxlo::editor {

using platform::RegistryHandle;

namespace {

// Closes a key handle on every way out.
class OpenKey {
public:
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (handle_ != 0) platform::registryCloseKey(handle_);
    }
    RegistryHandle* out() { return &handle_; }
    RegistryHandle get() const { return handle_; }

private:
    RegistryHandle handle_ = 0;
};

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

bool registryKeyExists(RegistryHandle root, const std::string& path) {
    OpenKey key;
    return platform::registryOpenKey(root, path, platform::RegistryAccess::Read, key.out()) ==
           platform::kRegistryOk;
}

bool copyRegistryTree(RegistryHandle root, const std::string& from, const std::string& to) {
    OpenKey source;
    if (platform::registryOpenKey(root, from, platform::RegistryAccess::Read, source.out()) !=
        platform::kRegistryOk)
        return false;
    OpenKey target;
    if (platform::registryCreateKey(root, to, target.out()) != platform::kRegistryOk) return false;
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
