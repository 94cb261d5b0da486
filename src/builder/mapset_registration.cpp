// registerMapset: its ID in the .TDB, the TYP file, and the family's entry (written by
// catalogue/mapset_registration.h).
#include "builder/mapset_build.h"
#include "builder/create_window_controls.h"
#include "builder/mkgmap_build.h"
#include "builder/path_rules.h"

#include "catalogue/mapset_registration.h"
#include "catalogue/name_rules.h"
#include "mapfile/map_file.h"
#include "mapfile/typ_file.h"
#include "platform/services.h"

namespace oxlo::builder {

namespace {

// Every mapset Oxlo builds is product 1 of its family.
constexpr std::uint16_t kProductId = 1;
// 1-based offset of the family ID word in a .TDB header.
constexpr int kTdbFamilyIdOffset = 6;

} // namespace

catalogue::FamilyEntry familyEntryOf(const MapsetBuildRequest& request, const std::string& typCopy,
                                     bool searchIndex) {
    catalogue::FamilyEntry entry;
    entry.keyName = request.name;
    entry.familyId = static_cast<std::uint16_t>(request.familyId);
    entry.typ = typCopy;
    if (searchIndex) {
        const MkgmapOutputs outputs = mkgmapOutputs(request);
        entry.idx = outputs.searchIndex;
        entry.mdr = outputs.searchMaps;
    }
    entry.loc = catalogue::storedFolder(request.folder);
    entry.bmap = catalogue::joinPath(request.folder, request.name + ".IMG");
    entry.tdb = catalogue::joinPath(request.folder, request.name + ".TDB");
    return entry;
}

std::string typCopyPath(const MapsetBuildRequest& request) {
    if (request.typPath.empty()) return {};
    return catalogue::joinPath(request.folder, platform::getFilePart(request.typPath));
}

namespace {

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
    const std::string index = catalogue::joinPath(folder, request.name + ".TDB");

    // The files come first: a registered family must never point at an index without its ID.
    if (mapfile::writeValueAtOffset(index, kTdbFamilyIdOffset, 0, request.familyId, "", "Word") !=
        1)
        return "The family ID could not be written into " + index +
               ". The mapset was not registered.";

    // Only an existing file is installed; a missing one or a folder is passed over.
    std::string typCopy;
    if (platform::fileSize(request.typPath) >= 0) {
        typCopy = typCopyPath(request);
        if (std::string failure = installTyp(request, typCopy, written); !failure.empty()) return failure;
    }
    return catalogue::writeFamilyEntry(familyEntryOf(request, typCopy, searchIndex),
                                       catalogue::findExistingFamily(request.name),
                                       kCreateWindowTitle);
}

} // namespace oxlo::builder
