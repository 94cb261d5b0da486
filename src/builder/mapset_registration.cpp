// registerMapset: the family's keys in MapSource's catalogue, its ID in the .TDB, the TYP file.
#include "builder/mapset_build.h"

#include "catalogue/registry_layout.h"
#include "mapfile/map_file.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace oxlo::builder {

namespace {
// 1-based offset of the family ID word in a .TDB header.
constexpr int kTdbFamilyIdOffset = 6;

void writeValue(const std::string& key, const char* valueName, const std::string& data,
                int typeCode) {
    platform::writeRegistryValue(catalogue::kCatalogueRoot, key, valueName, data, typeCode,
                                 catalogue::kLocalComputer);
}
} // namespace

void registerMapset(const MapsetBuildRequest& request) {
    using namespace catalogue;
    const std::string& folder = request.folder;
    const std::string familyKey = kFamiliesKey + request.name;
    const std::string productKey = familyKey + kFamilyProductSubkey;
    const std::string index = folder + "\\" + request.name + ".TDB";

    // Each key is created before its values are written. An existing family of this name (the
    // user agreed to overwrite it) keeps its other values and subkeys.
    platform::createRegistryKey(kCatalogueRoot, familyKey, kLocalComputer);
    writeValue(familyKey, kValueId, platform::textFromNumber(request.familyId),
               platform::kValueBinary);
    platform::createRegistryKey(kCatalogueRoot, productKey, kLocalComputer);
    writeValue(productKey, kValueBmap, folder + "\\" + request.name + ".IMG", platform::kValueText);
    writeValue(productKey, kValueLoc, folder, platform::kValueText);
    writeValue(productKey, kValueTdb, index, platform::kValueText);

    mapfile::writeValueAtOffset(index, kTdbFamilyIdOffset, 0, request.familyId, "", "Word");

    // Only an existing file is installed; a missing one or a folder is passed over.
    if (platform::fileSize(request.typPath) >= 0) {
        const std::string typCopy = folder + "\\" + platform::getFilePart(request.typPath);
        platform::copyFile(request.typPath, typCopy);
        writeValue(familyKey, kValueTyp, typCopy, platform::kValueText);
    }
}

} // namespace oxlo::builder
