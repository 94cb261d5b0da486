#include "builder/earlier_outputs.h"

#include "builder/path_rules.h"

#include "platform/services.h"

#include <algorithm>

namespace oxlo::builder {
namespace {

// `file`'s folder with its backslash; empty for a name in the current folder.
std::string folderPrefix(const std::string& file) {
    const std::size_t slash = file.rfind('\\');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

// The names of the files in `file`'s folder that Windows takes for `file`: its own, in any
// letter case. Read twice when the first reading fails, like every step of the undo below: a
// call that fails for a moment (a scanner holding a file) must not leave a failed build's file
// behind, nor an earlier file under the build's spelling.
std::vector<std::string> spellingsOf(const std::string& file) {
    const std::string prefix = folderPrefix(file);
    const std::string folder = prefix.empty() ? platform::getCurrentDirectory() : prefix;
    bool listed = true;
    const std::string name = platform::getFilePart(file);
    std::vector<std::string> names = platform::listFiles(folder, name, &listed);
    return listed ? names : platform::listFiles(folder, name);
}

void deleteWhatTheBuildLeft(const std::string& file) {
    if (platform::deleteFile(file) == 0 && platform::fileSize(file) != platform::kNoSuchPath)
        platform::deleteFile(file);
}

} // namespace

bool EarlierOutputs::guard(const std::string& file, bool scratch) {
    if (std::ranges::any_of(guarded_, [&](const Guarded& g) { return samePath(g.file, file); }))
        return true;
    const std::vector<std::string> spellings = spellingsOf(file);
    const std::string onDisk = spellings.empty() ? file : folderPrefix(file) + spellings.front();
    const std::string aside = platform::createScratchBeside(file);
    if (!aside.empty() && platform::replaceFile(file, aside) != 0) {
        guarded_.push_back({file, aside, onDisk, scratch});
        return true;
    }
    if (!aside.empty()) platform::deleteFile(aside);
    // The name is free only when the move failed for want of a file; one that is there but
    // cannot be moved must not be written over, nor removed by putBack.
    if (platform::fileSize(file) == platform::kNoSuchPath) {
        guarded_.push_back({file, {}, file, scratch});
        return true;
    }
    blocked_ = file;
    return false;
}

void EarlierOutputs::restore(const Guarded& guarded) {
    if (guarded.aside.empty()) {
        deleteWhatTheBuildLeft(guarded.file);
        return;
    }
    // The earlier file keeps its own spelling ("my alps.tdb" stays so when the build wrote
    // "My Alps.tdb"): what the build left under another spelling goes first.
    for (const std::string& name : spellingsOf(guarded.file))
        if (name != platform::getFilePart(guarded.onDisk))
            deleteWhatTheBuildLeft(folderPrefix(guarded.file) + name);
    // Tried twice: the earlier file must not stay under a scratch name.
    if (platform::replaceFile(guarded.aside, guarded.onDisk) == 0)
        platform::replaceFile(guarded.aside, guarded.onDisk);
}

void EarlierOutputs::keepCopy(const Guarded& guarded) {
    // The oldest copy holds the original; a file the build wrote again unchanged needs none.
    const std::string copy = guarded.onDisk + ".bak";
    if (platform::sameContents(guarded.aside, guarded.file) ||
        platform::fileSize(copy) != platform::kNoSuchPath) {
        platform::deleteFile(guarded.aside);
        return;
    }
    // Tried twice; after that the earlier file stays under its scratch name rather than be lost.
    if (platform::renameFile(guarded.aside, copy) == 0) platform::renameFile(guarded.aside, copy);
}

void EarlierOutputs::putBack() {
    for (const Guarded& guarded : guarded_) restore(guarded);
    guarded_.clear();
}

std::string EarlierOutputs::blockedMessage() const {
    return "The file " + blocked_ + " of an earlier build cannot be replaced.";
}

void EarlierOutputs::discard() {
    for (const Guarded& guarded : guarded_) {
        if (guarded.scratch)
            restore(guarded);
        else if (!guarded.aside.empty())
            keepCopy(guarded);
    }
    guarded_.clear();
}

} // namespace oxlo::builder
