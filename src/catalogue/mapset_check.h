// The check that every scan makes of each row: missing folders and files, and family IDs and
// product codes that disagree between the registry, the .TDB and the TYP file. Only file sizes and
// header words are read, never a whole map.
#pragma once

#include "catalogue/installed_mapsets.h"

#include <optional>
#include <string>
#include <vector>

namespace oxlo::catalogue {

// The problems of `row`; `rows` are all rows of the scan (family IDs are compared across them).
std::vector<MapsetProblem> checkMapset(const InstalledMapset& row,
                                       const std::vector<const InstalledMapset*>& rows);

// Checks rows 1 to `count` of installedMapsets and stores their problems.
void checkInstalledMapsets(int count);

// What the check says of a missing file that the entry's value `valueName` names: "The index
// file PATH does not exist." for TDB, likewise for BMAP, TYP and LOC; IDX and MDR name the
// search index.
std::string missingFileText(const std::string& valueName, const std::string& path);

// The first family ID or product code of another mapset that `moved` (the row with its paths
// pointed elsewhere, its product code read from the .TDB there) finds in its index or TYP file and
// `row` did not have (a TYP file from a missing folder counts as its own); none when the files
// fit as well as before. An index or TYP file whose ID cannot be read is such a problem too.
std::optional<MapsetProblem> newForeignFileProblem(const InstalledMapset& row,
                                                  const InstalledMapset& moved);

// True when the row has a problem of that kind.
bool hasProblem(const InstalledMapset& row, ProblemKind kind);

// The row's problems one to a line (a line feed between them).
std::string problemLines(const InstalledMapset& row);

} // namespace oxlo::catalogue
