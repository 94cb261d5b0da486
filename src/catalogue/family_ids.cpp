#include "catalogue/family_ids.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/mapset_names.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace oxlo::catalogue {

namespace {

// BaseCamp bundles are not read yet; this is the one place where they would be counted.
std::string bundleHolding(std::uint16_t /*id*/) { return {}; }

} // namespace

std::string familyIdHolder(std::uint16_t id, const std::string& ownKeyName) {
    const CatalogueBranch families(kFamiliesKey);
    for (const std::string& name : families.names()) {
        if (sameIgnoringCase(name, ownKeyName)) continue;
        const std::string text = families.values(name, {kValueId})[0];
        // Missing, or a value that reads as no number ("0"): no ID to share.
        const int number = text.empty() ? 0 : platform::numberFromText(text);
        if (number != 0 && static_cast<std::uint16_t>(number) == id)
            return relativeKeyPath(kFamiliesBranch, name);
    }
    return bundleHolding(id);
}

bool writeFamilyId(const std::string& familyKey, std::uint16_t id) {
    platform::OwnedRegistryKey key;
    if (platform::registryOpenKey(kCatalogueRoot, familyKey, platform::RegistryAccess::Full,
                                  key.receive()) != platform::kRegistryOk)
        return false;
    const unsigned char bytes[2] = {static_cast<unsigned char>(id & 0xFF),
                                    static_cast<unsigned char>(id >> 8)};
    return platform::registrySetValue(key.get(), kValueId, platform::kRegBinary, bytes,
                                      sizeof bytes) == platform::kRegistryOk;
}

} // namespace oxlo::catalogue
