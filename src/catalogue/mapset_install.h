// Installing a downloaded mapset: a folder of compiled maps with its .TDB index is checked and
// registered where it lies (nothing is copied or moved), instead of running its install.bat.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace oxlo::catalogue {

inline constexpr const char* kInstallTitle = "Install Mapset";

// Asks for the .TDB with the file dialog and installs its mapset.
void installMapsetFromDialog();

// Installs in turn each dropped .TDB and each dropped folder that holds exactly one .TDB; a folder
// of several is refused by name, and for anything else dropped the user is told what can be
// dropped.
void installDroppedMapsets(const std::vector<std::string>& paths);

// What `path` names for the install: the index (`path` itself for a .TDB, the one .TDB of a
// folder that holds exactly one, joined as stored), or for a folder of several .TDB files the
// refusal that names them ("FOLDER holds several mapset index files: A.tdb, B.tdb. Please
// choose one."). Both empty for anything else.
struct IndexAtPath {
    std::string index;
    std::string refusal;
};
IndexAtPath mapsetIndexAt(const std::string& path);

// installMapset of the index at `path` (a .TDB or its folder); a folder of several .TDB files is
// refused with its own text, anything else as no mapset index. True when installed.
bool installMapsetAt(const std::string& path);

// The refusal when detail maps `numbers` (from the mapset's .TDB) are missing from `folder`,
// where `present` tells whether a map's file name is there; empty when none is missing. The
// install and the bundle export say it alike.
std::string missingMapsText(const std::string& folder, const std::vector<std::uint32_t>& numbers,
                            const std::function<bool(const std::string& map)>& present);

// Checks the mapset of the index `tdbPath` and, when the user agrees, registers it, says so,
// rescans and selects its row. Every refusal and failure has its message; true when installed.
bool installMapset(const std::string& tdbPath);

} // namespace oxlo::catalogue
