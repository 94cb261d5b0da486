// Create Mapset: locating the tools, the input checks in their fixed order, and the choice of
// folder and family ID that ends in a build request.
#include "builder/create_window_controls.h"
#include "builder/create_window_state.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_names.h"
#include "platform/services.h"
#include "platform/ui.h"

namespace oxlo::builder {

namespace {

constexpr std::int32_t kLowestFamilyId = 6000;
constexpr std::int32_t kHighestFamilyId = 7000;
constexpr std::int32_t kFirstAutoFamilyId = 6001;

void refuse(const std::string& text) {
    platform::showMessage(kCreateWindowTitle, text, platform::kMessageWarning);
}

// A cancelled chooser empties the path; the build then fails and the chooser comes back at the
// next press of Create Mapset.
void locateToolIfMissing(std::string& path, const std::string& title,
                         const std::string& defaultFile) {
    if (platform::fileSize(path) == platform::kNoSuchPath)
        path = platform::chooseOpenFile(title, defaultFile, "Compiler|*.EXE", 0, 0);
}

template <typename Visit>
void forEachFamilyRow(Visit visit) {
    for (int row = 1; row <= catalogue::mapsetCount && row <= catalogue::kMaxMapsets; ++row) {
        const catalogue::InstalledMapset& mapset = catalogue::installedMapsets[row];
        if (mapset.branch == "Families" && !visit(mapset)) return;
    }
}

bool familyIdInUse(std::int32_t familyId) {
    bool used = false;
    forEachFamilyRow([&](const catalogue::InstalledMapset& mapset) {
        used = mapset.id == familyId;
        return !used;
    });
    return used;
}

// Every failed check says why; the checks after a failed one are skipped, except that each
// existing mapset of the same name is asked about even after a No.
bool inputsPassChecks(const std::string& name, const CreateWindowState& state) {
    if (name.empty()) {
        refuse("Please name the mapset.");
        return false;
    }
    if (name.find_first_of("/\\") != std::string::npos) {
        refuse("Please do not use slashes and backslashes for mapset name.");
        return false;
    }
    // The name becomes the folder and the tools' file names: "..", "a:b" or "x." would land the
    // mapset somewhere other than where the registry points.
    if (!catalogue::isUsableFolderName(name)) {
        refuse("Please use a mapset name that can be a folder name.");
        return false;
    }
    if (state.maps.empty()) {
        refuse("Please select at least one map.");
        return false;
    }
    bool ok = true;
    forEachFamilyRow([&](const catalogue::InstalledMapset& mapset) {
        if (mapset.name == name &&
            platform::showMessage(kCreateWindowTitle,
                                  "There is already an existing mapset named " + name +
                                      ". You will be overwriting the existing mapset. Proceed?",
                                  platform::kMessageWarningYesNo) == platform::kAnswerNo)
            ok = false;
        return true;
    });
    return ok;
}

} // namespace

std::int32_t firstFreeFamilyId() {
    std::int32_t familyId = kFirstAutoFamilyId;
    while (familyIdInUse(familyId)) ++familyId;
    return familyId;
}

std::optional<MapsetBuildRequest> checkCreateRequest(CreateWindowState& state) {
    locateToolIfMissing(state.compilerPath, "Find cgpsmapper", "cgpsmapper.exe");
    locateToolIfMissing(state.previewPath, "Find cPreview", "cpreview.exe");

    const std::string name = platform::getControlText(kNameField);
    if (!inputsPassChecks(name, state)) return std::nullopt;
    if (platform::showMessage(kCreateWindowTitle,
                              "Oxlo will proceed to generate a Mapsource mapset. Your Windows "
                              "registry will be updated. Proceed?",
                              platform::kMessageQuestion) != platform::kAnswerYes)
        return std::nullopt;

    MapsetBuildRequest request;
    request.name = name;
    if (platform::getControlState(kAutoToggle) == 1) {
        // createDirectory makes one level only, so a machine without C:\Garmin needs it first.
        if (platform::fileSize(kGarminFolder) != platform::kIsFolder)
            platform::createDirectory(kGarminFolder);
        platform::createDirectory(kAutoBaseFolder);
        request.folder = kAutoBaseFolder + name;
        request.familyId = firstFreeFamilyId();
    } else {
        request.folder = platform::getControlText(kFolderField);
        if (request.folder.empty()) request.folder = kAutoBaseFolder + name;
        const std::string typedFamilyId = platform::getControlText(kFamilyIdField);
        request.familyId = platform::numberFromText(typedFamilyId);
        if (request.familyId < kLowestFamilyId || request.familyId > kHighestFamilyId) {
            refuse("Product code range limited to 6000 - 7000 by Oxlo. Please select a number "
                   "between 6000 and 7000.");
            return std::nullopt;
        }
        if (familyIdInUse(request.familyId)) {
            refuse("There is already an existing mapset with FID " + typedFamilyId +
                   ". Please use another FID.");
            return std::nullopt;
        }
    }
    request.maps = state.maps;
    request.typPath = platform::getControlText(kTypField);
    request.compilerPath = state.compilerPath;
    request.previewPath = state.previewPath;
    return request;
}

} // namespace oxlo::builder
