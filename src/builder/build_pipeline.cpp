// buildMapset: the folder, the compiler's run on the copied maps (for cgpsmapper with its control
// file and cpreview.exe), the judging of the result and the registration.
#include "builder/build_progress.h"
#include "builder/create_window_controls.h"
#include "builder/map_copy.h"
#include "builder/earlier_outputs.h"
#include "builder/mapset_build.h"
#include "builder/mkgmap_build.h"
#include "builder/path_rules.h"

#include "platform/services.h"
#include "platform/ui.h"

namespace oxlo::builder {

namespace {

constexpr int kControlFile = 0;
constexpr const char* kControlFileName = "Oxlo.txt";
constexpr const char* kFailed = "Mapset Creation Failed!\r\r";

void reportFailure(const std::string& details) {
    platform::showMessage("Error", kFailed + details, platform::kMessageWarning);
}

// cpreview.exe reads its control file in the ANSI code page; the mapset's name in it was checked
// to have a form there before the build began, and its maps have names of digits.
void writeControlLine(const std::string& line) {
    bool exact = true;
    platform::writeLine(kControlFile, platform::textForAnsiPrograms(line, &exact));
}

// The control file for cpreview.exe, written afresh so nothing of an earlier attempt stays in
// it, while each map is copied into the current folder D. Gives what failed, or the empty text:
// the tools must not run on a control file cut short or without every map beside it.
std::string writeControlFileAndCopyMaps(const MapsetBuildRequest& request,
                                       EarlierOutputs& written) {
    const std::string& name = request.name;
    const std::string& folder = request.folder;
    const std::string notWritten =
        std::string("The control file ") + kControlFileName + " could not be written to " + folder +
        ".";
    if (!written.guard(kControlFileName, true) ||
        platform::createFile(kControlFile, kControlFileName) == 0)
        return notWritten;
    for (const std::string& line : {
             std::string("[MAP]"),
             "FileName=" + name,
             std::string("Mapversion=100"),
             "FID=" + platform::textFromNumber(request.familyId),
             std::string("ProductCode=1"),
             std::string("Levels=2"),
             std::string("Level0=11"),
             std::string("Level1=10"),
             std::string("Zoom0=7"),
             std::string("Zoom1=8"),
             "MapsourceName=" + name,
             "MapSetName=" + name + " by Oxlo",
             "CDSetName=" + name + " by Oxlo",
             std::string("Copy1=Created with Oxlo v1.04"),
             std::string("Copy2=Overview map of the mapset's maps"),
             std::string("Copy3=Map data belongs to its authors"),
             std::string("[END-MAP]"),
             std::string(),
             std::string("[FILES]"),
         })
        writeControlLine(line);
    const int count = static_cast<int>(request.maps.size());
    for (int number = 1; number <= count; ++number) {
        const std::string& map = request.maps[number - 1];
        writeControlLine("IMG=" + platform::getFilePart(map));
        if (const std::string failure = copyMapInto(map, folder, number, count, written);
            !failure.empty()) {
            platform::closeFile(kControlFile);
            return failure;
        }
    }
    writeControlLine("[END-FILES]");
    return platform::closeFile(kControlFile) == 0 ? notWritten : std::string();
}

// cpreview.exe on the control file, the overview source it writes filtered, cgpsmapper.exe on
// that source. Built when NAME.TDB is there afterwards.
Compilation compileWithCgpsmapper(const MapsetBuildRequest& request, EarlierOutputs& written) {
    if (std::string failure = writeControlFileAndCopyMaps(request, written); !failure.empty())
        return {false, std::move(failure)};
    for (const char* output : {".mp", ".TDB", ".IMG"})
        if (!written.guard(request.name + output)) return {false, written.blockedMessage()};

    const ToolRun preview =
        runToolAndCollectOutput(request.previewPath, kControlFileName, false, ToolText::Ansi);
    if (!preview.started) return {false, lastLinesOf(preview)};
    filterOverviewSource(request.name);

    const ToolRun compiler =
        runToolAndCollectOutput(request.compilerPath, "-e \"" + request.name + ".mp\"", false,
                                ToolText::Ansi);
    if (platform::fileSize(request.name + ".TDB") < 0) return {false, lastLinesOf(compiler)};
    return {true, {}};
}

} // namespace

std::string copyMapInto(const std::string& map, const std::string& folder, int number, int count,
                        EarlierOutputs& written) {
    // A map that already is the file in D, whatever the spelling of either path, needs no copy
    // and must not be written.
    const std::string copy = folder + "\\" + platform::getFilePart(map);
    const bool copied = platform::sameFile(map, copy) ||
                        (written.guard(copy) && copyMapInPieces(map, copy, number, count));
    // The title tells of the copies only while they run.
    if (!copied || number == count) buildProgress().stepDone();
    if (copied) return {};
    return "The map " + map + " could not be copied to " + folder + ".";
}

bool buildMapset(const MapsetBuildRequest& request) {
    const std::string& folder = request.folder;

    // An existing folder is fine; without it every file would land in whatever folder was
    // current while the registry points at D.
    platform::createDirectory(folder);
    if (platform::fileSize(folder) != platform::kIsFolder ||
        platform::setCurrentDirectory(folder) == 0) {
        reportFailure("The folder " + folder + " cannot be created.");
        return false;
    }

    // A failed build takes back every file it wrote and puts back those it replaced.
    EarlierOutputs written;
    const Compilation compiled = request.compiler == Compiler::Mkgmap
                                     ? compileWithMkgmap(request, written)
                                     : compileWithCgpsmapper(request, written);
    const std::string failure =
        compiled.built ? registerMapset(request, compiled.searchIndex, written) : compiled.failure;
    if (!compiled.built || !failure.empty()) {
        written.putBack();
        if (compiled.built || !compiled.told) reportFailure(failure);
        return false;
    }
    written.discard();
    platform::showMessage(kCreateWindowTitle, "Mapset Created.", platform::kMessageInfo);
    return true;
}

} // namespace oxlo::builder
