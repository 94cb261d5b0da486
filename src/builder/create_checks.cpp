// Create Mapset: locating the tools, the input checks in their fixed order, and the choice of
// folder and family ID that ends in a build request.
#include "builder/create_window_controls.h"
#include "builder/create_window_state.h"

#include "builder/compiler_choice.h"
#include "builder/path_rules.h"
#include "catalogue/catalogue_registry.h"
#include "catalogue/family_ids.h"
#include "catalogue/registered_families.h"
#include "catalogue/registered_files.h"
#include "catalogue/mapset_names.h"
#include "catalogue/mapset_registration.h"
#include "catalogue/name_rules.h"
#include "platform/services.h"
#include "platform/ui.h"

#include <algorithm>

namespace oxlo::builder {

using catalogue::RegisteredFamily;
using catalogue::registeredFamilies;

namespace {

constexpr std::int32_t kLowestFamilyId = 6000;
constexpr std::int32_t kHighestFamilyId = 7000;
constexpr std::int32_t kFirstAutoFamilyId = 6001;

// A family ID is taken only when every registered one could be read.
const char* const kFamiliesUnreadText =
    "The registered mapsets could not be read, so no mapset was created.";

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

// Every registered family counts, the one of the same name too (its ID stays until the new build
// replaces it), and so does every BaseCamp bundle.
bool familyIdInUse(std::int32_t familyId, const std::vector<catalogue::FamilyIdUse>& uses) {
    return catalogue::familyIdHolder(familyId, "", uses).has_value();
}

// The overview map the compiler writes is NAME.IMG in the mapset folder, over the copy of a map
// of that name.
bool nameOfAMap(const std::string& name, const std::vector<std::string>& maps) {
    return std::ranges::any_of(
        maps, [&](const std::string& map) { return sameIgnoringCase(fileStem(map), name); });
}

// The maps are copied into one folder under their file names, which Windows tells apart only by
// more than letter case: a second map of a name would overwrite the first. Says so for the first
// such pair.
bool mapFileNamesDiffer(const std::vector<std::string>& maps) {
    for (auto first = maps.begin(); first != maps.end(); ++first) {
        const auto second = std::find_if(first + 1, maps.end(), [&](const std::string& map) {
            return sameIgnoringCase(platform::getFilePart(map), platform::getFilePart(*first));
        });
        if (second != maps.end()) {
            refuse("The maps " + *first + " and " + *second +
                   " have the same file name; a mapset folder can hold only one of them.");
            return false;
        }
    }
    return true;
}

// createDirectory makes one level only, so a machine without C:\Garmin needs it first.
void makeDefaultBaseFolder() {
    if (platform::fileSize(kGarminFolder) != platform::kIsFolder)
        platform::createDirectory(kGarminFolder);
    platform::createDirectory(kAutoBaseFolder);
}

// The default folder C:\Garmin\Oxlo\NAME, or another one beside it.
bool liesInDefaultBaseFolder(const std::string& folder) {
    const std::size_t slash = folder.rfind('\\');
    return slash != std::string::npos &&
           sameIgnoringCase(folder.substr(0, slash + 1), kAutoBaseFolder);
}

// Every failed check says why; the checks after a failed one are skipped.
bool inputsPassChecks(const std::string& name, const CreateWindowState& state) {
    if (name.empty()) {
        refuse("Please name the mapset.");
        return false;
    }
    if (name.find_first_of("/\\") != std::string::npos) {
        refuse("Please do not use slashes and backslashes for mapset name.");
        return false;
    }
    // The name becomes the key, the folder and the tools' file names: "..", "a:b", "x." or
    // " x" would land the mapset somewhere other than where the registry points.
    if (!catalogue::isUsableFolderName(name) || !catalogue::isUsableMapsetName(name)) {
        refuse("Please use a mapset name that can be a folder name.");
        return false;
    }
    if (state.maps.empty()) {
        refuse("Please select at least one map.");
        return false;
    }
    if (!mapFileNamesDiffer(state.maps)) return false;
    if (nameOfAMap(name, state.maps)) {
        refuse("Please use a mapset name that differs from the names of its maps.");
        return false;
    }
    // Registry key names ignore case: "alps" would overwrite the family "Alps".
    bool ok = true;
    for (const RegisteredFamily& family : registeredFamilies()) {
        if (sameIgnoringCase(family.keyName, name) &&
            platform::showMessage(kCreateWindowTitle,
                                  "There is already an existing mapset named " + name +
                                      ". You will be overwriting the existing mapset. Proceed?",
                                  platform::kMessageWarningYesNo) == platform::kAnswerNo)
            ok = false;
    }
    return ok;
}

// cpreview.exe and cgpsmapper.exe know no Unicode: the mapset's name reaches them in the ANSI
// code page (its maps have names of digits), and a letter beyond it would make the build fail
// after its folder was made.
bool nameFitsAnsiPrograms(const std::string& name) {
    const bool exact = catalogue::fitsAnsiPrograms(name);
    if (!exact)
        refuse(name + " has letters that cGPSmapper cannot take. Please choose another name, or "
                      "mkgmap as the compiler.");
    return exact;
}

} // namespace

std::optional<std::int32_t> firstFreeFamilyId() {
    bool complete = true;
    const std::vector<catalogue::FamilyIdUse> uses = catalogue::familyIdUses(&complete);
    if (!complete) return std::nullopt;
    std::int32_t familyId = kFirstAutoFamilyId;
    while (familyIdInUse(familyId, uses)) ++familyId;
    return familyId;
}

CreateInputs createInputsOfWindow() {
    return {chosenCompiler(),
            platform::getControlText(kNameField),
            platform::getControlState(kAutoToggle) == 1,
            platform::getControlText(kFolderField),
            platform::getControlText(kFamilyIdField),
            platform::getControlText(kTypField)};
}

std::optional<MapsetBuildRequest> checkCreateRequest(CreateWindowState& state,
                                                     const CreateInputs& inputs) {
    const Compiler compiler = inputs.compiler;
    std::string java;
    if (compiler == Compiler::Mkgmap) {
        if (!locateMkgmapTools(state, &java)) return std::nullopt;
    } else {
        locateToolIfMissing(state.compilerPath, "Find cgpsmapper", "cgpsmapper.exe");
        locateToolIfMissing(state.previewPath, "Find cPreview", "cpreview.exe");
    }

    const std::string& name = inputs.name;
    if (!inputsPassChecks(name, state)) return std::nullopt;
    if (compiler == Compiler::Cgpsmapper && !nameFitsAnsiPrograms(name)) return std::nullopt;
    if (platform::showMessage(kCreateWindowTitle,
                              "Oxlo will proceed to generate a Mapsource mapset. Your Windows "
                              "registry will be updated. Proceed?",
                              platform::kMessageQuestion) != platform::kAnswerYes)
        return std::nullopt;

    MapsetBuildRequest request;
    request.name = name;
    const bool automatic = inputs.automatic;
    if (automatic) {
        request.folder = kAutoBaseFolder + name;
        const std::optional<std::int32_t> familyId = firstFreeFamilyId();
        if (!familyId) {
            refuse(kFamiliesUnreadText);
            return std::nullopt;
        }
        request.familyId = *familyId;
    } else {
        request.folder = inputs.folder;
        if (request.folder.empty()) request.folder = kAutoBaseFolder + name;
        // A relative folder would be taken from whatever folder is current during the build, and
        // the registry would point nowhere.
        if (!isFullFolderPath(request.folder)) {
            refuse("Please choose a full folder path, such as C:\\Garmin\\Maps.");
            return std::nullopt;
        }
        const std::string& typedFamilyId = inputs.familyIdText;
        request.familyId = platform::numberFromText(typedFamilyId);
        if (request.familyId < kLowestFamilyId || request.familyId > kHighestFamilyId) {
            refuse("Product code range limited to 6000 - 7000 by Oxlo. Please select a number "
                   "between 6000 and 7000.");
            return std::nullopt;
        }
        bool complete = true;
        const std::vector<catalogue::FamilyIdUse> uses = catalogue::familyIdUses(&complete);
        if (!complete) {
            refuse(kFamiliesUnreadText);
            return std::nullopt;
        }
        if (familyIdInUse(request.familyId, uses)) {
            refuse("There is already an existing mapset with FID " + typedFamilyId +
                   ". Please use another FID.");
            return std::nullopt;
        }
    }
    request.folder = catalogue::storedFolder(request.folder);
    request.typPath = inputs.typPath;
    request.compiler = compiler;
    // A path longer than the scan reads back would list the new mapset as missing its files.
    const catalogue::FamilyEntry planned =
        familyEntryOf(request, typCopyPath(request), compiler == Compiler::Mkgmap);
    if (const std::string path = catalogue::firstUnstorablePath(planned); !path.empty()) {
        refuse(catalogue::unstorablePathText(path) +
               " Please choose a shorter mapset name or folder.");
        return std::nullopt;
    }
    // The build would write over that mapset's files, and a failed one would take them away; a
    // bundle's folder goes whole when the bundle is uninstalled.
    const std::optional<std::string> registered =
        catalogue::registeredMapsetInFolder(request.folder, name);
    if (!registered) {
        refuse(kFamiliesUnreadText);
        return std::nullopt;
    }
    if (const std::string& key = *registered; !key.empty()) {
        refuse(catalogue::folderHoldsMapsetText(request.folder, key));
        return std::nullopt;
    }
    if (automatic || liesInDefaultBaseFolder(request.folder)) makeDefaultBaseFolder();
    request.maps = state.maps;
    request.compilerPath = state.compilerPath;
    request.previewPath = state.previewPath;
    request.javaPath = java;
    request.mkgmapPath = state.mkgmapPath;
    return request;
}

} // namespace oxlo::builder
