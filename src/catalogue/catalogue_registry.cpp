#include "catalogue/catalogue_registry.h"

#include "catalogue/registry_layout.h"
#include "platform/registry_store.h"

namespace oxlo::catalogue {

namespace {

constexpr unsigned kNameBuffer = 255;

// Opens `path` below the catalogue root for reading; `key` stays 0 when it cannot be opened.
bool openForReading(const std::string& path, platform::OwnedRegistryKey& key)
{
    return platform::registryOpenKey(kCatalogueRoot, path, platform::RegistryAccess::Read,
                                     key.receive()) == platform::kRegistryOk;
}

} // namespace

std::vector<std::string> listSubkeys(const std::string& path)
{
    std::vector<std::string> names;
    platform::OwnedRegistryKey key;
    if (!openForReading(path, key)) {
        return names;
    }
    for (unsigned index = 0;; ++index) {
        char name[kNameBuffer];
        unsigned length = kNameBuffer;
        if (platform::registryEnumKey(key.get(), index, name, &length) != platform::kRegistryOk) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

KeyPresence registryKeyPresence(const std::string& path)
{
    platform::OwnedRegistryKey key;
    const long status = platform::registryOpenKey(kCatalogueRoot, path,
                                                  platform::RegistryAccess::Read, key.receive());
    if (status == platform::kRegistryOk) {
        return KeyPresence::Present;
    }
    return status == platform::kRegistryNotFound ? KeyPresence::Absent : KeyPresence::Unknown;
}

bool registryKeyExists(const std::string& path)
{
    return registryKeyPresence(path) == KeyPresence::Present;
}

} // namespace oxlo::catalogue
