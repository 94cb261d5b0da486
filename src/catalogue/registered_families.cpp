#include "catalogue/registered_families.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace oxlo::catalogue {

std::vector<RegisteredFamily> registeredFamilies() {
    std::vector<RegisteredFamily> families;
    for (const std::string& keyName : listSubkeys(kFamiliesKey)) {
        const std::string id = platform::readRegistryValue(kCatalogueRoot, kFamiliesKey + keyName,
                                                           kValueId, kLocalComputer);
        families.push_back({keyName, platform::numberFromText(id)});
    }
    return families;
}

} // namespace oxlo::catalogue
