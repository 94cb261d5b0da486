// buildMapset: folder, control file, map copies, the two tools, and the judging of the result.
#include "builder/create_window_controls.h"
#include "builder/mapset_build.h"
#include "builder/path_rules.h"

#include "platform/services.h"

namespace oxlo::builder {

namespace {

constexpr int kControlFile = 0;
constexpr const char* kControlFileName = "Oxlo.txt";
constexpr const char* kFailed = "Mapset Creation Failed!\r\r";

void reportFailure(const std::string& details) {
    platform::showMessage("Error", kFailed + details, platform::kMessageWarning);
}

// The control file for cpreview.exe, written afresh so nothing of an earlier attempt stays in
// it, while each map is copied into the current folder D. Gives what failed, or the empty text:
// the tools must not run on a control file cut short or without every map beside it.
std::string writeControlFileAndCopyMaps(const MapsetBuildRequest& request) {
    const std::string& name = request.name;
    const std::string& folder = request.folder;
    const std::string notWritten =
        std::string("The control file ") + kControlFileName + " could not be written to " + folder +
        ".";
    if (platform::createFile(kControlFile, kControlFileName) == 0) return notWritten;
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
        platform::writeLine(kControlFile, line);
    for (const std::string& map : request.maps) {
        const std::string fileName = platform::getFilePart(map);
        platform::writeLine(kControlFile, "IMG=" + fileName);
        // A map that already lies in D cannot be copied onto itself, and needs no copy.
        const std::string copy = folder + "\\" + fileName;
        if (!samePath(map, copy) && platform::copyFile(map, copy) == 0) {
            platform::closeFile(kControlFile);
            return "The map " + map + " could not be copied to " + folder + ".";
        }
    }
    platform::writeLine(kControlFile, "[END-FILES]");
    return platform::closeFile(kControlFile) == 0 ? notWritten : std::string();
}

// Success is judged by NAME.TDB alone, so one left by an earlier build must not be there while
// the compiler runs. It is kept aside and put back when this build fails.
class EarlierIndex {
public:
    explicit EarlierIndex(const std::string& name)
        : index_(name + ".TDB"), aside_(name + ".TDB.earlier") {}

    // False when an earlier index is there and cannot be moved aside.
    bool moveAside() {
        if (platform::fileSize(index_) < 0) return true;
        platform::deleteFile(aside_);
        moved_ = platform::renameFile(index_, aside_) != 0;
        return moved_;
    }
    void putBack() {
        if (moved_) platform::renameFile(aside_, index_);
    }
    void discard() {
        if (moved_) platform::deleteFile(aside_);
    }
    const std::string& index() const { return index_; }

private:
    std::string index_;
    std::string aside_;
    bool moved_ = false;
};

} // namespace

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

    if (const std::string failure = writeControlFileAndCopyMaps(request); !failure.empty()) {
        reportFailure(failure);
        return false;
    }

    const ToolRun preview = runToolAndCollectOutput(request.previewPath, kControlFileName);
    if (!preview.started) {
        reportFailure(lastLinesOf(preview));
        return false;
    }
    filterOverviewSource(request.name);

    EarlierIndex earlier(request.name);
    if (!earlier.moveAside()) {
        reportFailure("The file " + earlier.index() + " of an earlier build cannot be replaced.");
        return false;
    }
    const ToolRun compiler =
        runToolAndCollectOutput(request.compilerPath, "-e \"" + request.name + ".mp\"");
    if (platform::fileSize(earlier.index()) < 0) {
        earlier.putBack();
        reportFailure(lastLinesOf(compiler));
        return false;
    }
    earlier.discard();

    if (const std::string failure = registerMapset(request); !failure.empty()) {
        reportFailure(failure);
        return false;
    }
    platform::deleteFile(kControlFileName);
    platform::showMessage(kCreateWindowTitle, "Mapset Created.", platform::kMessageInfo);
    return true;
}

} // namespace oxlo::builder
