// Everything a step may touch, taken before and after it: the registry below Garmin, the files of
// the drives (without the Recycle Bin and Oxlo's .reg copies), what the Recycle Bin holds, the
// .reg copies, and the rows with their problems as the console's check reports them.
#pragma once

#include "support/registry_snapshot.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace oxlo::generated {

struct RowState {
    std::string key;      // the console's key: "Families\Alps", "Maps\X.gmap"
    std::string fullKey;  // below HKLM; empty for a bundle
    std::string folder;
    std::vector<std::string> files; // what the row names: index, overview map, TYP
    std::set<int> problems;         // catalogue::ProblemKind values
};

struct World {
    testing::RegistrySnapshot registry;
    std::map<std::string, std::string> files; // Windows path -> bytes
    std::multiset<std::string> recycled;       // bytes of everything in the Recycle Bin
    std::set<std::string> copies;              // Windows paths of the .reg copies
    std::vector<RowState> rows;
    std::string jsonFault; // what was wrong with the console's JSON, when anything was
};

inline constexpr const char* kGarminKey = "SOFTWARE\\Garmin";

World takeWorld();

} // namespace oxlo::generated
