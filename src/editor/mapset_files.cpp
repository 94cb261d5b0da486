#include "editor/mapset_files.h"

#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "platform/services.h"

namespace oxlo::editor {

namespace {

bool isFile(const std::string& path) { return platform::fileSize(path) >= 0; }
bool isFree(const std::string& path) { return platform::fileSize(path) == platform::kNoSuchPath; }

// A name beside `path` that nothing uses yet, for a rename in two steps; empty when none is found.
std::string freeTemporaryPath(const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = path + ".oxlo" + platform::textFromNumber(attempt) + "~";
        if (isFree(candidate)) return candidate;
    }
    return {};
}

// One file to its new name. A change of letter case alone goes through a temporary name, because
// a rename onto a path that exists is refused and on Windows the new path is the file itself. The
// second step still fails when a different file holds the new name (a case-sensitive file system);
// the file then goes back to its old name.
bool moveFile(const std::string& from, const std::string& to, bool caseOnly) {
    if (!caseOnly) return platform::renameFile(from, to) != 0;
    const std::string temporary = freeTemporaryPath(to);
    if (temporary.empty() || platform::renameFile(from, temporary) == 0) return false;
    if (platform::renameFile(temporary, to) != 0) return true;
    platform::renameFile(temporary, from);
    return false;
}

} // namespace

std::string overviewMapPath(const std::string& loc, const std::string& name) {
    return catalogue::joinPath(loc, name + ".IMG");
}

std::string indexPath(const std::string& loc, const std::string& name) {
    return catalogue::joinPath(loc, name + ".TDB");
}

bool renameMapsetFiles(const std::string& loc, const std::string& name, const std::string& newName) {
    const std::string oldMap = overviewMapPath(loc, name);
    const std::string oldIndex = indexPath(loc, name);
    const std::string newMap = overviewMapPath(loc, newName);
    const std::string newIndex = indexPath(loc, newName);
    const bool caseOnly = catalogue::sameIgnoringCase(name, newName);

    if (!isFile(oldMap) || !isFile(oldIndex)) return false;
    if (!caseOnly && (!isFree(newMap) || !isFree(newIndex))) return false;

    if (!moveFile(oldMap, newMap, caseOnly)) return false;
    if (moveFile(oldIndex, newIndex, caseOnly)) return true;
    moveFile(newMap, oldMap, caseOnly);
    return false;
}

} // namespace oxlo::editor
