// What a move of a mapset will do, worked out and checked before anything is touched: its files,
// where each goes, the registry entries as they are and as they will read.
#pragma once

#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_registration.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace oxlo::catalogue {

struct MoveFile {
    std::string from, to;
    std::int64_t size = 0;
    bool keepOriginal = false; // another entry names it too: copied, not moved
    bool alreadyThere = false; // the target holds the same bytes already: nothing to copy
};

struct MovePlan {
    std::string name;      // as the messages name the mapset
    std::string key;       // "Families\Alps"
    std::string oldFolder; // as stored
    std::string newFolder; // chosen\FOLDERNAME, as stored
    std::vector<MoveFile> files;
    bool keepOldFolder = false; // another entry names it as its folder
    std::vector<KeyRewrite> rewrites; // the mapset's entry, then a Windows Uninstall entry
};

// The plan for moving `mapset` into the folder `chosen`; nothing after saying (title "Move
// Mapset", flags 0x30) why it cannot be moved.
std::optional<MovePlan> planMove(const InstalledMapset& mapset, const std::string& chosen);

} // namespace oxlo::catalogue
