// The edits of numbers inside a mapset's files (.TDB, .mdx, TYP): words written in place, each
// file's old words kept, so that a failure further on can put every file back.
#pragma once

#include "mapfile/map_file.h"

#include <string>
#include <vector>

namespace oxlo::editor {

struct WordChange {
    std::string path;
    std::vector<mapfile::HeldWord> before; // as read before anything changed
    std::vector<mapfile::HeldWord> after;
};

struct WordChangeResult {
    std::string failedFile; // empty when every file took its new words
    bool putBack = true;    // after a failure: every file holds its old words again
};

// Writes the files in order. When one fails, it and the ones before it get their old words back.
WordChangeResult applyWordChanges(const std::vector<WordChange>& changes);
// Puts every file back; true when all of them took their old words.
bool undoWordChanges(const std::vector<WordChange>& changes);

} // namespace oxlo::editor
