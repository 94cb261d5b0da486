#include "editor/word_changes.h"

namespace oxlo::editor {

namespace {

bool holds(const std::string& path, const std::vector<mapfile::HeldWord>& words) {
    for (const mapfile::HeldWord& word : words)
        if (mapfile::readHeaderWord(path, word.position) != word.value) return false;
    return true;
}

// The first `count` files back, last first. A file that holds its old words is not written: the
// write that failed may not have reached it, and it may take no writes at all (read-only).
bool undoFirst(const std::vector<WordChange>& changes, std::size_t count) {
    bool back = true;
    while (count-- > 0) {
        const WordChange& change = changes[count];
        back = (holds(change.path, change.before) ||
                mapfile::writeWordsAt(change.path, change.before)) &&
               back;
    }
    return back;
}

} // namespace

WordChangeResult applyWordChanges(const std::vector<WordChange>& changes) {
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (mapfile::writeWordsAt(changes[i].path, changes[i].after)) continue;
        // A failed write may have reached part of the file: it goes back too.
        return {changes[i].path, undoFirst(changes, i + 1)};
    }
    return {};
}

bool undoWordChanges(const std::vector<WordChange>& changes) {
    return undoFirst(changes, changes.size());
}

} // namespace oxlo::editor
