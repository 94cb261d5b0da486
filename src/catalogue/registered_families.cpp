#include "catalogue/registered_families.h"

#include "catalogue/registry_layout.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <algorithm>
#include <string_view>

namespace oxlo::catalogue {

namespace {

// Room for any value that readRegistryValue gives as text; a longer "ID" is no family ID.
constexpr unsigned kIdRoom = platform::kMaxTextCharacters * 4 + 1;

} // namespace

std::vector<RegisteredFamily> registeredFamilies(bool* complete) {
    if (complete) *complete = true;
    const auto unread = [&] {
        if (complete) *complete = false;
    };
    std::vector<RegisteredFamily> families;
    platform::OwnedRegistryKey branch;
    const long opened = platform::registryOpenKey(kCatalogueRoot, kFamiliesKey,
                                                  platform::RegistryAccess::Read, branch.receive());
    if (opened != platform::kRegistryOk) {
        if (opened != platform::kRegistryNotFound) unread();
        return families;
    }
    for (unsigned index = 0;; ++index) {
        char name[platform::kKeyNameRoom];
        unsigned length = platform::kKeyNameRoom;
        const long status = platform::registryEnumKey(branch.get(), index, name, &length);
        if (status == platform::kRegistryNoMoreItems) break;
        if (status != platform::kRegistryOk) {
            unread();
            break;
        }
        families.push_back({std::string(name, length), 0});
    }
    for (RegisteredFamily& family : families) {
        platform::OwnedRegistryKey key;
        if (platform::registryOpenKey(branch.get(), family.keyName, platform::RegistryAccess::Read,
                                      key.receive()) != platform::kRegistryOk) {
            unread(); // listed a moment ago: gone since, or not readable
            continue;
        }
        char data[kIdRoom];
        unsigned type = platform::kRegNone;
        unsigned size = kIdRoom;
        const long status = platform::registryQueryValue(key.get(), kValueId, &type, data, &size);
        // A family without an "ID" (or with one too long to be any) takes none.
        if (status == platform::kRegistryNotFound || status == platform::kRegistryMoreData) continue;
        if (status != platform::kRegistryOk) {
            unread();
            continue;
        }
        family.id = platform::numberFromText(
            platform::registryValueText(type, std::string_view(data, std::min(size, kIdRoom))));
    }
    return families;
}

} // namespace oxlo::catalogue
