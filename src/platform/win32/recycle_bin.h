// The one call of the shell's Recycle Bin, for the uninstall's files (raw::recycleRaw) and for a
// whole bundle folder (moveToRecycleBin).
#pragma once

#include <string>
#include <vector>

namespace oxlo::platform::win32 {

// What the shell may show while it recycles. Either way it asks no "are you sure?".
enum class RecycleUi {
    // Progress and errors; before deleting for good a file that cannot be recycled (a drive
    // without a Recycle Bin) the shell asks. The uninstall's files, after the user's Yes.
    askBeforeDeleting,
    // Nothing at all: the caller reports a failure itself. A bundle folder, taken as a whole.
    silent,
};

// Sends the files or folders (full paths, each with everything in it) to the Recycle Bin in one
// operation. True when the shell did it all and nothing was aborted.
bool recycle(const std::vector<std::string>& paths, RecycleUi ui);

// True when the Recycle Bin takes an item from the folder of `path`. Given one it cannot take (a
// drive or share without a bin, the bin turned off, Wine without an XDG trash) the shell deletes
// it for good without a word, so an empty folder made beside `path` goes first and must turn up
// in the bin's count.
bool recycleBinTakesFrom(const std::string& path);

} // namespace oxlo::platform::win32
