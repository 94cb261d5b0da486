// registerMapset: its ID in the .TDB, the TYP file, and the family's keys in MapSource's catalogue.
#include "builder/mapset_build.h"
#include "builder/create_window_controls.h"
#include "builder/mkgmap_build.h"
#include "builder/path_rules.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "catalogue/registry_tree.h"
#include "mapfile/map_file.h"
#include "mapfile/typ_file.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <optional>

namespace oxlo::builder {

namespace {

using catalogue::kCatalogueRoot;
using catalogue::RegistryTree;
using catalogue::RegistryTreeValue;

// 1-based offset of the family ID word in a .TDB header.
constexpr int kTdbFamilyIdOffset = 6;
// Every mapset Oxlo builds is product 1 of its family.
constexpr std::uint16_t kProductId = 1;
constexpr unsigned kKeyNameRoom = 256;

RegistryTreeValue textValue(const char* name, const std::string& text) {
    RegistryTreeValue value{name, platform::kRegSz, {text.begin(), text.end()}};
    value.bytes.push_back(0);
    return value;
}

// The family as MapSource reads it: its ID as a 2-byte binary value on the family key (with the
// TYP file and the search index, if any), and its files on the product subkey "1".
RegistryTree familyTree(const MapsetBuildRequest& request, const std::string& typCopy,
                        bool searchIndex) {
    const auto id = static_cast<std::uint32_t>(request.familyId);
    RegistryTree family;
    family.values.push_back({catalogue::kValueId, platform::kRegBinary,
                             {static_cast<unsigned char>(id & 0xFF),
                              static_cast<unsigned char>((id >> 8) & 0xFF)}});
    if (!typCopy.empty()) family.values.push_back(textValue(catalogue::kValueTyp, typCopy));
    if (searchIndex) {
        const MkgmapOutputs outputs = mkgmapOutputs(request);
        family.values.push_back(textValue(catalogue::kValueIdx, outputs.searchIndex));
        family.values.push_back(textValue(catalogue::kValueMdr, outputs.searchMaps));
    }
    const std::string files = request.folder + "\\" + request.name;
    RegistryTree product;
    product.values = {textValue(catalogue::kValueBmap, files + ".IMG"),
                      textValue(catalogue::kValueLoc, request.folder),
                      textValue(catalogue::kValueTdb, files + ".TDB")};
    family.subkeys.emplace_back(std::string(catalogue::kFamilyProductSubkey).substr(1), product);
    return family;
}

struct ExistingFamily {
    bool readable = true;
    std::string keyName; // as the registry spells it; empty when there is none
};

// The family key that `name` would overwrite: registry key names ignore letter case, so "alps"
// is the key "Alps". Unreadable when the branch cannot be listed to its end.
ExistingFamily findExistingFamily(const std::string& name) {
    platform::OwnedRegistryKey families;
    const long opened = platform::registryOpenKey(kCatalogueRoot, catalogue::kFamiliesKey,
                                                  platform::RegistryAccess::Read,
                                                  families.receive());
    if (opened == platform::kRegistryNotFound) return {};
    if (opened != platform::kRegistryOk) return {false, {}};
    for (unsigned index = 0;; ++index) {
        char keyName[kKeyNameRoom];
        unsigned length = kKeyNameRoom;
        const long status = platform::registryEnumKey(families.get(), index, keyName, &length);
        if (status == platform::kRegistryNoMoreItems) return {};
        if (status != platform::kRegistryOk) return {false, {}};
        const std::string found(keyName, length);
        if (sameIgnoringCase(found, name)) return {true, found};
    }
}

bool removeKey(const std::string& path) {
    return platform::deleteRegistryTree(kCatalogueRoot, path) == 1 ||
           !catalogue::registryKeyExists(path);
}

// Writes the new family in place of the old one. Whatever fails, either the new family is
// registered whole, or the old one (or none) is registered as before, or the text says what is
// left.
std::string writeFamily(const MapsetBuildRequest& request, const RegistryTree& tree) {
    const std::string newKey = catalogue::kFamiliesKey + request.name;
    const std::string notWritten =
        "The registry entry of the mapset " + request.name + " could not be written. ";
    const ExistingFamily existing = findExistingFamily(request.name);
    if (!existing.readable)
        return notWritten + "The registered mapsets could not be read, so nothing was changed.";
    if (existing.keyName.empty()) {
        if (catalogue::writeRegistryTree(kCatalogueRoot, newKey, tree)) return {};
        if (removeKey(newKey)) return notWritten + "Nothing was registered.";
        return notWritten + "An incomplete registry entry " + catalogue::kFamiliesBranch + "\\" +
               request.name + " is left.";
    }

    // The old key goes first, so that none of its values or subkeys stays with the new family.
    const std::string oldKey = catalogue::kFamiliesKey + existing.keyName;
    const std::optional<RegistryTree> old = catalogue::readRegistryTree(kCatalogueRoot, oldKey);
    if (!old)
        return notWritten + "The existing mapset " + existing.keyName +
               " could not be read, so it was left as it is.";
    if (!catalogue::backUpKey(catalogue::relativeKeyPath(catalogue::kFamiliesBranch, existing.keyName),
                              kCreateWindowTitle))
        return notWritten + "The existing mapset " + existing.keyName + " is registered as before.";
    if (platform::deleteRegistryTree(kCatalogueRoot, oldKey) == 1 &&
        catalogue::writeRegistryTree(kCatalogueRoot, newKey, tree))
        return {};
    if (catalogue::restoreRegistryTree(kCatalogueRoot, oldKey, *old))
        return notWritten + "The existing mapset " + existing.keyName + " is registered as before.";
    return notWritten + "The registry entry " + catalogue::kFamiliesBranch + "\\" +
           existing.keyName + " of the existing mapset could not be put back whole.";
}

// Copies the TYP file into the folder and gives the copy the mapset's IDs, without which
// MapSource does not apply it. A TYP that already lies in the folder is the user's own file and
// stays as it is. The failure message's details, or the empty text.
std::string installTyp(const MapsetBuildRequest& request, const std::string& typCopy,
                       EarlierOutputs& written) {
    const std::string& folder = request.folder;
    if (platform::sameFile(request.typPath, typCopy)) return {};
    if (!written.guard(typCopy) || platform::copyFile(request.typPath, typCopy) == 0)
        return "The TYP file " + request.typPath + " could not be copied to " + folder +
               ". The mapset was not registered.";
    if (mapfile::stampTypIds(typCopy, static_cast<std::uint16_t>(request.familyId), kProductId) ==
        mapfile::TypStamp::Failed)
        return "The family ID could not be written into the TYP file " + typCopy +
               ". The mapset was not registered.";
    return {};
}

} // namespace

std::string registerMapset(const MapsetBuildRequest& request, bool searchIndex,
                           EarlierOutputs& written) {
    const std::string& folder = request.folder;
    const std::string index = folder + "\\" + request.name + ".TDB";

    // The files come first: a registered family must never point at an index without its ID.
    if (mapfile::writeValueAtOffset(index, kTdbFamilyIdOffset, 0, request.familyId, "", "Word") !=
        1)
        return "The family ID could not be written into " + index +
               ". The mapset was not registered.";

    // Only an existing file is installed; a missing one or a folder is passed over.
    std::string typCopy;
    if (platform::fileSize(request.typPath) >= 0) {
        typCopy = folder + "\\" + platform::getFilePart(request.typPath);
        if (std::string failure = installTyp(request, typCopy, written); !failure.empty()) return failure;
    }
    return writeFamily(request, familyTree(request, typCopy, searchIndex));
}

} // namespace oxlo::builder
