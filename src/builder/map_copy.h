// Copying the chosen maps into the mapset folder without freezing the windows: a map of several
// GiB is copied in pieces, the windows are painted between them, and the build's progress
// (build_progress.h) says which map is on its way.
#pragma once

#include <cstddef>
#include <string>

namespace oxlo::builder {

// The size of one piece: what is held in memory at a time, whatever the map's size.
inline constexpr std::size_t kMapCopyPiece = 1 << 20;

// Copies `source` over `target` (created or replaced), showing "Copying N of M: FILE" as the
// build's progress. The copy is written into a scratch file beside the target and moved over it
// when complete. True when every byte arrived; otherwise only the scratch file is removed.
bool copyMapInPieces(const std::string& source, const std::string& target, int number, int count);

} // namespace oxlo::builder
