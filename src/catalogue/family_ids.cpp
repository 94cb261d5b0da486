#include "catalogue/family_ids.h"

#include "catalogue/bundle_info.h"
#include "catalogue/bundle_scan.h"
#include "catalogue/mapset_names.h"
#include "catalogue/registered_families.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace oxlo::catalogue {

std::vector<FamilyIdUse> familyIdUses(bool* complete) {
    std::vector<FamilyIdUse> uses;
    for (const RegisteredFamily& family : registeredFamilies(complete))
        uses.push_back({family.id, relativeKeyPath(kFamiliesBranch, family.keyName), false});
    bool bundlesListed = true;
    for (const std::string& folder : findBundleFolders(&bundlesListed)) {
        const std::optional<BundleInfo> info = readBundleInfo(folder);
        if (!info && complete) *complete = false; // its ID may be the one asked about
        uses.push_back({info ? info->id : 0,
                        relativeKeyPath(kBundlesBranch, platform::getFilePart(folder)), true});
    }
    if (!bundlesListed && complete) *complete = false;
    return uses;
}

std::optional<FamilyIdUse> familyIdHolder(std::int32_t id, const std::string& ownKeyName,
                                          const std::vector<FamilyIdUse>& uses) {
    const std::string ownKey = relativeKeyPath(kFamiliesBranch, ownKeyName);
    for (const FamilyIdUse& use : uses) {
        // 0 is what an unreadable ID reads as: no ID to share.
        if (use.id == 0 || static_cast<std::uint16_t>(use.id) != static_cast<std::uint16_t>(id))
            continue;
        if (!use.bundle && sameIgnoringCase(use.key, ownKey)) continue;
        return use;
    }
    return std::nullopt;
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
