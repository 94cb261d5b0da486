#include "builder/bundle_export.h"

#include "builder/bundle_placement.h"
#include "builder/mapset_build.h"
#include "builder/mapset_export.h"
#include "builder/mkgmap_build.h"
#include "builder/mkgmap_tools.h"
#include "catalogue/bundle_info.h"
#include "catalogue/bundle_scan.h"
#include "catalogue/installed_mapsets.h"
#include "platform/services.h"
#include "platform/shell_folders.h"

#include <algorithm>

namespace oxlo::builder {
namespace {

void warn(const std::string& text)
{
    platform::showMessage(kExportBundleTitle, text, platform::kMessageWarning);
}

// The failure text when the bundle `made` lacks one of the `maps` (full paths of NUMBER.img):
// mkgmap skips a map it cannot read and still succeeds. mkgmap unpacks each map into a folder
// of its SubProduct named by the map's file name (eight characters at most). Empty when all are
// there.
std::string mapsLeftOutText(const std::string& made, const std::vector<std::string>& maps)
{
    const auto info = catalogue::readBundleInfo(made);
    const auto inBundle = [&](const std::string& map) {
        const std::string file = platform::getFilePart(map);
        const std::string folder = file.substr(0, std::min<std::size_t>(file.rfind('.'), 8));
        return info && std::ranges::any_of(info->subProducts, [&](const auto& product) {
                   return platform::fileSize(made + "\\" + product.directory + "\\" + folder) ==
                          platform::kIsFolder;
               });
    };
    int left = 0;
    std::string first;
    for (const std::string& map : maps)
        if (!inBundle(map) && left++ == 0) first = platform::getFilePart(map);
    if (left == 0) return {};
    return "mkgmap left " + platform::textFromNumber(left) + " of the mapset's " +
           platform::textFromNumber(static_cast<std::int32_t>(maps.size())) +
           " maps out of the bundle, the first being " + first + ". Nothing was saved.";
}

} // namespace

void exportBundle(int row, std::string& mkgmapPath, int window, const std::string& windowTitle)
{
    if (!isExportable(row)) return;
    const std::string chosen = platform::choosePath(
        "Choose where to save the BaseCamp bundle",
        platform::knownFolderPath(platform::KnownFolder::Documents));
    if (chosen.empty()) return;
    std::string java;
    if (!locateMkgmapAndJava(mkgmapPath, &java, kExportBundleTitle)) return;
    WindowTitleProgress progress(window, windowTitle);
    exportBundleTo(row, chosen, mkgmapPath, java, progress);
}

std::string exportBundleTo(int row, std::string chosen, const std::string& jar,
                           const std::string& java, BuildProgress& progress)
{
    if (!isExportable(row) || chosen.empty()) return {};
    const catalogue::InstalledMapset mapset = catalogue::installedMapsets[row];
    const std::string name = shownMapsetName(mapset);
    while (chosen.size() > 3 && chosen.back() == '\\') chosen.pop_back();
    const std::string folderPart = chosen.back() == '\\' ? chosen : chosen + "\\";
    const std::optional<MapsetMaps> present = presentMaps(mapset, kExportBundleTitle);
    if (!present) return {};

    const std::string bundle = folderPart + name + ".gmap";
    const bool replacing = platform::fileSize(bundle) != platform::kNoSuchPath;
    if (replacing &&
        platform::showMessage(kExportBundleTitle,
                              "A BaseCamp bundle " + name + ".gmap exists in " + chosen +
                                  ". Replace it? The old one goes to the Recycle Bin.",
                              platform::kMessageQuestion) != platform::kAnswerYes)
        return {};

    const std::string work = newWorkFolder(chosen, "Oxlo export");
    if (work.empty()) {
        warn("No folder for mkgmap's work could be made in " + chosen + ".");
        return {};
    }
    std::vector<std::string> inputs;
    for (const std::string& map : present->maps) inputs.push_back(inputFileLine(map));
    // mkgmap writes its own copy of a TYP file (xNAME.typ) beside the one it is given, so it is
    // given a copy in the work folder: the mapset's folder stays as it is.
    const std::string typ = work + "\\" + platform::getFilePart(mapset.typ);
    if (!mapset.typ.empty() && platform::fileSize(mapset.typ) >= 0 &&
        platform::copyFile(mapset.typ, typ) == 1)
        inputs.push_back(inputFileLine(typ));
    const std::string arguments = work + "\\maps.args";
    if (!writeArgumentLines(arguments, inputs)) {
        platform::deleteFolderTree(work);
        warn("The list of maps " + arguments + " could not be written.");
        return {};
    }
    const std::string parameters = bundleParameters(jar, work, mapset.id, name, arguments);
    // mkgmap prints its messages to standard error.
    const ToolRun run = runToolReportingTo(java, parameters, true, progress);
    const std::string made = work + "\\" + name + ".gmap";
    const std::string lack = run.exitCode == 0 && platform::fileSize(made + "\\Info.xml") > 0
                                 ? mapsLeftOutText(made, present->maps)
                                 : lastLinesOf(run);
    // The old bundle goes only for a whole new one.
    const bool placed = lack.empty() && placeBundle(made, bundle);
    platform::deleteFolderTree(work);
    if (!lack.empty()) warn(lack);
    if (!placed) return {};
    platform::showMessage(kExportBundleTitle,
                          "The BaseCamp bundle " + bundle +
                              " is ready. Copy it into Garmin\\Maps on the computer that should "
                              "show it.",
                          platform::kMessageInfo);
    return bundle;
}

} // namespace oxlo::builder
