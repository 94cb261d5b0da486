#include "catalogue/mapset_move.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/move_plan.h"
#include "catalogue/name_rules.h"
#include "catalogue/registry_backup.h"
#include "platform/services.h"

#include <vector>

namespace oxlo::catalogue {
namespace {

using platform::textFromNumber;

void warn(const std::string& text)
{
    platform::showMessage(kMoveTitle, text, platform::kMessageWarning);
}

const InstalledMapset* movableRow(int row)
{
    if (row < 1 || row > mapsetCount || installedMapsets[row].keyName.empty() ||
        isBundle(installedMapsets[row]))
        return nullptr;
    return &installedMapsets[row];
}

// The files copied so far, and whether the new folder was made for them.
struct Copies {
    std::vector<const MoveFile*> made;
    bool folderMade = false;
};

// Takes the copies away again; true when nothing of them is left.
bool removeCopies(const MovePlan& plan, const Copies& copies)
{
    bool clean = true;
    for (const MoveFile* file : copies.made) clean = platform::deleteFile(file->to) == 1 && clean;
    if (copies.folderMade) clean = platform::removeEmptyFolder(plan.newFolder) == 1 && clean;
    return clean;
}

// A failure before the entry was rewritten: the copies go, the mapset stays where it was.
void failBeforeRewrite(const MovePlan& plan, const Copies& copies, const std::string& reason)
{
    const bool clean = removeCopies(plan, copies);
    warn("Mapset " + plan.name + " could not be moved: " + reason +
         (clean ? " Nothing was changed."
                : " It stays in " + plan.oldFolder + "; some copies are left in " +
                      plan.newFolder + "."));
}

// Copies every file and checks each copy against its original; the empty text when all
// arrived, else why not (the copies made so far are in `copies`).
std::string copyFiles(const MovePlan& plan, Copies& copies, const MoveProgress& progress)
{
    if (platform::fileSize(plan.newFolder) != platform::kIsFolder) {
        if (platform::createDirectory(plan.newFolder) != 1)
            return "The folder " + plan.newFolder + " could not be made.";
        copies.folderMade = true;
    }
    const std::string total = textFromNumber(static_cast<std::int32_t>(plan.files.size()));
    int done = 0;
    for (const MoveFile& file : plan.files) {
        if (!file.alreadyThere) {
            // A failed copy leaves no target: only copies that arrived need taking away.
            if (platform::copyFile(file.from, file.to) != 1)
                return file.from + " could not be copied to " + plan.newFolder + ".";
            copies.made.push_back(&file);
            if (!platform::sameContents(file.from, file.to))
                return "The copy of " + file.from + " in " + plan.newFolder + " differs from it.";
        }
        if (progress.show)
            progress.show("Moving " + plan.name + ": " + textFromNumber(++done) + " of " + total +
                          " files");
    }
    return {};
}

// The old files that this move takes away: not those another entry names too.
std::vector<std::string> movedAwayFiles(const MovePlan& plan)
{
    std::vector<std::string> paths;
    for (const MoveFile& file : plan.files)
        if (!file.keepOriginal) paths.push_back(file.from);
    return paths;
}

// Once the entry names the new folder: the old files go to the Recycle Bin, and the old folder
// when nothing else is in it. Says which are still there, if any; true when none is.
bool recycleOldFiles(const MovePlan& plan)
{
    const std::vector<std::string> paths = movedAwayFiles(plan);
    if (platform::recycleFileList(paths) != 0) {
        // It stays when other files are in it, or another entry names it as its folder.
        if (!plan.keepOldFolder) platform::removeEmptyFolder(plan.oldFolder);
        return true;
    }
    std::string left;
    for (const std::string& path : paths)
        if (platform::fileSize(path) >= 0)
            left += (left.empty() ? "" : ", ") + platform::getFilePart(path);
    if (left.empty()) return true;
    warn("Mapset " + plan.name + " is now in " + plan.newFolder +
         ", but these of its old files are still in " + plan.oldFolder + ": " + left + ".");
    return false;
}

bool carryOut(const MovePlan& plan, const MoveProgress& progress)
{
    Copies copies;
    const std::string copyFailure = copyFiles(plan, copies, progress);
    if (progress.done) progress.done();
    if (!copyFailure.empty()) {
        failBeforeRewrite(plan, copies, copyFailure);
        return false;
    }
    if (!backUpKey(plan.key, kMoveTitle)) { // it says that nothing was changed
        if (!removeCopies(plan, copies))
            warn("Some copies of the files of mapset " + plan.name + " are left in " +
                 plan.newFolder + ".");
        return false;
    }
    switch (rewriteKeys(plan.rewrites)) {
    case RewriteOutcome::Rewritten: break;
    case RewriteOutcome::Unchanged:
        failBeforeRewrite(plan, copies, "The registry entry " + plan.key + " could not be rewritten.");
        return false;
    case RewriteOutcome::Damaged:
        // Both folders hold the whole mapset: whatever the entry names now is there.
        warn("The registry entry " + plan.key + " could not be rewritten and may be changed in "
             "part. A copy of it is in " + backupFolder() + ". The mapset's files are in both " +
             plan.oldFolder + " and " + plan.newFolder + ".");
        scanInstalledMapsets();
        return false;
    }
    const bool recycled = recycleOldFiles(plan);
    scanInstalledMapsets();
    if (recycled)
        platform::showMessage(kMoveTitle, "Mapset " + plan.name + " moved to " + plan.newFolder + ".",
                              platform::kMessageInfo);
    return true;
}

} // namespace

void moveMapset(int row, const MoveProgress& progress)
{
    const InstalledMapset* mapset = movableRow(row);
    if (!mapset) return;
    const std::string name = mapset->name.empty() ? mapset->keyName : mapset->name;
    const std::string chosen = platform::choosePath(
        "Choose the folder to move mapset " + name + " into", folderOf(mapset->loc));
    if (!chosen.empty()) moveMapsetTo(row, chosen, progress);
}

bool moveMapsetTo(int row, const std::string& chosen, const MoveProgress& progress)
{
    const InstalledMapset* found = movableRow(row);
    if (!found) return false;
    const InstalledMapset mapset = *found; // the rescan refills the table
    const std::optional<MovePlan> plan = planMove(mapset, chosen);
    if (!plan) return false;
    if (platform::showMessage(kMoveTitle,
                              "Move mapset " + plan->name + " from " + plan->oldFolder + " to " +
                                  plan->newFolder + "? Its files are copied, checked, and then go "
                                  "from " + plan->oldFolder + " to the Recycle Bin.",
                              platform::kMessageQuestion) != platform::kAnswerYes)
        return false;
    return carryOut(*plan, progress);
}

} // namespace oxlo::catalogue
