// The registry reads of the catalogue that the four registry operations do not cover: listing a
// branch's subkeys and asking whether a key exists.
#pragma once

#include <string>
#include <vector>

namespace oxlo::catalogue {

// The names of the subkeys of `path` (below the catalogue root), in the registry's enumeration
// order, read to the end before the caller changes anything. A missing key gives none; the
// listing ends at the first name that does not fit the 255-character buffer.
std::vector<std::string> listSubkeys(const std::string& path);

// True when the key `path` (below the catalogue root) exists now.
bool registryKeyExists(const std::string& path);

// Whether the key `path` (below the catalogue root) is there. Unknown when it could not be opened
// for another reason than its absence: a caller about to write a key of its own there must not
// take that for absent, since the key may belong to another mapset.
enum class KeyPresence { Present, Absent, Unknown };
KeyPresence registryKeyPresence(const std::string& path);

} // namespace oxlo::catalogue
