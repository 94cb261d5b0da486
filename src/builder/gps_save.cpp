#include "builder/gps_save.h"

#include "builder/bundle_placement.h"
#include "builder/gps_contents.h"
#include "builder/mapset_build.h"
#include "builder/mapset_export.h"
#include "builder/mkgmap_build.h"
#include "builder/mkgmap_tools.h"
#include "platform/services.h"
#include "platform/shell_folders.h"

#include <algorithm>

namespace oxlo::builder {

namespace {

void warnOfGpsSave(const std::string& text)
{
    platform::showMessage(kSaveForGpsTitle, text, platform::kMessageWarning);
}

std::string number(std::size_t value)
{
    return platform::textFromNumber(static_cast<std::int32_t>(value));
}

// Removes the work folder with whatever mkgmap and Oxlo left in it, however the save ends.
class WorkFolder {
public:
    explicit WorkFolder(std::string path) : path_(std::move(path)) {}
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    ~WorkFolder()
    {
        // Once more after a failure: a virus scanner may hold a file just written for a moment.
        if (!path_.empty() && platform::deleteFolderTree(path_) == 0)
            platform::deleteFolderTree(path_);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Puts the whole file `made` under the name `file`. An older file there goes to the Recycle Bin
// when `mayReplace`, but only after the new one took its name; any step failing puts back what
// was there. Without `mayReplace` the rename fails on a file there.
bool placeGpsFile(const std::string& made, const std::string& file, bool mayReplace)
{
    if (!mayReplace || platform::fileSize(file) == platform::kNoSuchPath)
        return platform::renameFile(made, file) == 1;
    const std::string aside = asideName(file);
    if (aside.empty() || platform::renameFile(file, aside) != 1) return false;
    if (platform::renameFile(made, file) == 1) {
        // An old file that the Recycle Bin cannot take stays, and so nothing is saved.
        if (platform::moveToRecycleBin(aside) == platform::Recycling::done) return true;
        platform::renameFile(file, made);
    }
    platform::renameFile(aside, file);
    return false;
}

// Copies of the TYP files in the work folder, under names of their own ("F6001.typ"): mkgmap
// keeps one TYP per file name, and writes its own copy beside each one it is given. Empty for a
// mapset without one; nothing, with `failure` saying which could not be copied.
std::optional<std::vector<std::string>> copyTypFiles(const std::vector<GpsMapset>& mapsets,
                                                     const std::string& work, std::string* failure)
{
    std::vector<std::string> copies;
    for (const GpsMapset& mapset : mapsets) {
        if (mapset.typ.empty()) {
            copies.emplace_back();
            continue;
        }
        const std::string base = work + "\\F" + platform::textFromNumber(mapset.familyId);
        std::string copy = base + ".typ";
        for (int n = 2; platform::fileSize(copy) != platform::kNoSuchPath; ++n)
            copy = base + "-" + platform::textFromNumber(n) + ".typ";
        if (platform::copyFile(mapset.typ, copy) != 1) {
            *failure = "The TYP file " + mapset.typ + " could not be copied into " + work + ".";
            return std::nullopt;
        }
        copies.push_back(copy);
    }
    return copies;
}

std::string gpsParameters(const std::string& jar, const std::string& work, bool addressIndex,
                          const std::string& arguments)
{
    return "-Dfile.encoding=UTF-8 -jar " + quotedArgument(jar) +
           " --output-dir=" + quotedArgument(work) + " --gmapsupp" +
           (addressIndex ? " --index" : "") + " -c " + quotedArgument(arguments);
}

std::string readyText(const std::string& file, const std::vector<GpsMapset>& mapsets)
{
    std::string names;
    std::size_t maps = 0;
    for (const GpsMapset& mapset : mapsets) {
        names += (names.empty() ? "" : ", ") + mapset.name;
        maps += mapset.maps.size();
    }
    return "The GPS map " + file + " is ready: " + (mapsets.size() > 1 ? "mapsets " : "mapset ") +
           names + ", " + number(maps) + " maps. It goes into the Garmin folder of the device or "
           "of its memory card.";
}

// Runs mkgmap in `work` and puts its GPS map file in place when it holds everything. Empty then,
// else what the failure message says (the work folder goes before it is shown).
std::string makeGpsFile(const std::vector<GpsMapset>& mapsets, const std::string& file,
                        bool mayReplace, const std::string& work, const std::string& jar,
                        const std::string& java, BuildProgress& progress)
{
    std::string failure;
    const std::optional<std::vector<std::string>> typCopies =
        copyTypFiles(mapsets, work, &failure);
    if (!typCopies) return failure;
    const std::string arguments = work + "\\maps.args";
    if (!writeArgumentLines(arguments, gpsArgumentLines(mapsets, *typCopies)))
        return "The list of maps " + arguments + " could not be written.";
    bool addressIndex = false;
    std::vector<std::string> maps;
    for (const GpsMapset& mapset : mapsets) {
        addressIndex = addressIndex || mapset.addressIndex;
        maps.insert(maps.end(), mapset.maps.begin(), mapset.maps.end());
    }
    // mkgmap prints its messages to standard error.
    const ToolRun run =
        runToolReportingTo(java, gpsParameters(jar, work, addressIndex, arguments), true, progress);
    if (!run.started) return "Java could not be started from " + java + ".";
    const std::string made = work + "\\gmapsupp.img";
    const auto typCount = static_cast<std::size_t>(
        std::count_if(typCopies->begin(), typCopies->end(),
                      [](const std::string& copy) { return !copy.empty(); }));
    std::string leftOut = leftOutOfGpsFile(made, file, maps, typCount);
    if (leftOut.empty() && run.exitCode != 0)
        leftOut = "mkgmap ended with status " +
                  platform::textFromNumber(static_cast<std::int32_t>(run.exitCode)) +
                  ". Nothing was saved.";
    if (!leftOut.empty()) return lastLinesOf(run) + "\n\n" + leftOut;
    if (!placeGpsFile(made, file, mayReplace))
        return "The GPS map could not be put in place as " + file + ". Nothing was saved.";
    return {};
}

std::string folderOf(const std::string& file)
{
    const std::size_t slash = file.find_last_of('\\');
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

} // namespace

std::vector<std::string> gpsArgumentLines(const std::vector<GpsMapset>& mapsets,
                                          const std::vector<std::string>& typCopies)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < mapsets.size(); ++i) {
        const GpsMapset& mapset = mapsets[i];
        // The .TDB keeps its names in the ANSI code page; mkgmap reads the file as UTF-8.
        const auto orName = [&](const std::string& stored) {
            return stored.empty() ? mapset.name : platform::textFromAnsi(stored);
        };
        lines.push_back("family-id: " + platform::textFromNumber(mapset.familyId));
        lines.push_back("product-id: " + platform::textFromNumber(mapset.index.productId));
        lines.push_back("family-name: " + orName(mapset.index.familyName));
        lines.push_back("series-name: " + orName(mapset.index.seriesName));
        lines.push_back("description: " + mapset.name);
        for (const std::string& map : mapset.maps) lines.push_back(inputFileLine(map));
        if (i < typCopies.size() && !typCopies[i].empty())
            lines.push_back(inputFileLine(typCopies[i]));
    }
    return lines;
}

void saveForGps(int row, std::string& mkgmapPath, int window, const std::string& windowTitle)
{
    if (!isExportable(row)) return;
    const std::string file = platform::chooseSaveFile(kSaveForGpsTitle, "gmapsupp.img",
                                                      "Garmin GPS map (*.img)|*.img", 0);
    if (file.empty()) return;
    std::string java;
    if (!locateMkgmapAndJava(mkgmapPath, &java, kSaveForGpsTitle)) return;
    WindowTitleProgress progress(window, windowTitle);
    saveForGpsTo({row}, file, mkgmapPath, java, progress, ReplaceQuestion::alreadyAsked);
}

std::string saveForGpsTo(const std::vector<int>& rows, const std::string& file,
                         const std::string& jar, const std::string& java, BuildProgress& progress,
                         ReplaceQuestion replace)
{
    std::vector<GpsMapset> mapsets;
    for (const int row : rows) {
        std::optional<GpsMapset> mapset = gpsMapsetOf(row);
        if (!mapset) return {};
        mapsets.push_back(std::move(*mapset));
    }
    if (mapsets.empty() || file.empty()) return {};
    if (const std::string refusal = gpsRefusal(mapsets); !refusal.empty()) {
        warnOfGpsSave(refusal);
        return {};
    }
    // Only a Yes to the question lets an older file go: one that the question missed stays.
    bool mayReplace = replace == ReplaceQuestion::alreadyAsked;
    if (replace == ReplaceQuestion::ask && platform::fileSize(file) != platform::kNoSuchPath) {
        if (platform::showMessage(kSaveForGpsTitle,
                                  "A file " + file + " exists. Replace it? The old one goes to "
                                  "the Recycle Bin.",
                                  platform::kMessageQuestion) != platform::kAnswerYes)
            return {};
        mayReplace = true;
    }
    std::string failure;
    {
        const WorkFolder work(newWorkFolder(folderOf(file), "Oxlo GPS"));
        failure = work.path().empty()
                      ? "No folder for mkgmap's work could be made in " + folderOf(file) + "."
                      : makeGpsFile(mapsets, file, mayReplace, work.path(), jar, java, progress);
    }
    if (!failure.empty()) {
        warnOfGpsSave(failure);
        return {};
    }
    platform::showMessage(kSaveForGpsTitle, readyText(file, mapsets), platform::kMessageInfo);
    return file;
}

} // namespace oxlo::builder
