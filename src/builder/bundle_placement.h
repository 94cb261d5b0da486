// Putting a newly made bundle in place of an old one so that the chosen folder always holds a
// whole bundle: the old one moves aside under a name beside it, the new one takes its name, and
// only then does the old one go to the Recycle Bin (or, when it cannot, for good after the user's
// Yes). When the new one cannot take the name, or the user keeps the old one, the old one comes
// back under its own name.
#pragma once

#include <string>

namespace oxlo::builder {

// Moves the finished bundle `made` to `bundle`, replacing a bundle there. True when the new one
// is in place and nothing of the old one is left; after a failure it has said why, except when
// the user chose to keep the old one (then `made` holds the new one again).
bool placeBundle(const std::string& made, const std::string& bundle);

// A free name beside `path` for an old file or bundle while its replacement moves in: PATH.old,
// PATH.old 2, ... It does not end as the original does, so that BaseCamp and the scan never take
// it for a second bundle. Empty when the first hundred are taken.
std::string asideName(const std::string& path);

} // namespace oxlo::builder
