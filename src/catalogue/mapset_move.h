// Move Mapset: a registered mapset's files go into another folder (on any drive) and its registry
// entry follows them in one go. The files are copied and checked first, and the old ones go to
// the Recycle Bin only once the entry names the new ones, so at every step the mapset is whole
// and registered in exactly one place.
#pragma once

#include <functional>
#include <string>

namespace oxlo::catalogue {

inline constexpr const char* kMoveTitle = "Move Mapset";

// Where the copying tells how far it is.
struct MoveProgress {
    std::function<void(const std::string& line)> show; // "Moving NAME: 12 of 240 files"
    std::function<void()> done;                        // the copying is over
};

// The window's command: asks for the folder to move row `row` (1-based, a registered mapset)
// into, then moves it as moveMapsetTo does.
void moveMapset(int row, const MoveProgress& progress);

// Moves row `row` into `chosen`\FOLDERNAME, FOLDERNAME being the last part of its folder: checks,
// asks, copies, checks the copies, saves the entry's .reg copy, rewrites the entry (and a Windows
// Uninstall entry naming the folder), recycles the old files and rescans. True only when the
// mapset is in the new folder; every refusal and failure is said under kMoveTitle.
bool moveMapsetTo(int row, const std::string& chosen, const MoveProgress& progress);

} // namespace oxlo::catalogue
