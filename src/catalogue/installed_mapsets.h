// The catalogue: MapSource's installed mapsets as read by the last scan of the registry.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::catalogue {

// What the check of a row finds (catalogue/mapset_check.h); `text` is what the user reads.
enum class ProblemKind {
    MissingFolder,
    MissingIndex,
    MissingOverview,
    MissingTyp,
    ForeignTyp,        // the TYP file holds another family ID
    IndexFamilyId,     // the .TDB holds another family ID than the registry
    SharedFamilyId,    // another family has the same ID
    IndexProductCode,  // a numeric product key that is not its .TDB's code
    NotATyp,           // the TYP file lacks the TYP signature
    UnreadableFamilyId, // the family key's "ID" is missing or no number
    UnreadableBundle,  // a bundle's Info.xml cannot be read
    OutsideBundle,     // a bundle's Info.xml names a path outside the bundle
};

struct MapsetProblem {
    ProblemKind kind = ProblemKind::MissingFolder;
    std::string text;
};

// One catalogue row.
struct InstalledMapset {
    std::string name;   // family key name, old-form product key name, or the .TDB's file name
    std::string branch; // "Families" or "Products"
    std::int32_t id = 0; // family ID, or the product code read from the .TDB
    bool idRead = true;  // families: false when "ID" could not be read (id is then 0)
    std::string loc;    // the mapset's folder ("LOC")
    std::string tdb;    // full path of its .TDB ("TDB")
    std::string form;   // "F" family, "O" old-form product, "N" product keyed by its code
    std::string keyName; // the subkey this row was read from (after a repair: the new key)
    std::string bmap;   // the overview map ("BMAP"), empty when the entry has none
    std::string typ;    // families: the TYP file ("TYP" of the family key), else empty
    std::string productKey; // families: the subkey holding LOC, TDB and BMAP ("1" as a rule)
    std::vector<MapsetProblem> problems; // found by the scan's check, in the order shown
    // Bundles only (branch "Maps", form "B"): whether Info.xml was read, and each SubProduct's
    // .TDB and overview map folder as full paths (empty where Info.xml names none).
    bool bundleInfoRead = false;
    struct BundlePart {
        std::string tdb;
        std::string baseMap;
    };
    std::vector<BundlePart> bundleParts;
    // Paths that Info.xml names outside the bundle, as it writes them; none of them is in typ or
    // bundleParts, so nothing done to the bundle reaches another's files.
    std::vector<std::string> outsideBundle;
};

inline constexpr int kMaxMapsets = 100;

// Slots 1 to 100 (slot 0 unused), filled from slot 1 in scan order.
extern std::array<InstalledMapset, kMaxMapsets + 1> installedMapsets;
// Rows shown after the last scan (0 to 100).
extern int mapsetCount;

// Empties and refills installedMapsets, the main list (control 0) and the count label (control 1)
// of the main window from the registry; may ask to repair old-form product entries. A branch that
// cannot be listed to its end offers no repair and ends the scan with kListNotWholeText.
void scanInstalledMapsets();
inline constexpr const char* kListNotWholeText =
    "The registry could not be read whole, so the list may lack some mapsets. No mapset was fixed.";
// The question by which the scan offers to repair the old-form product entry `keyName`.
std::string oldProductQuestion(const std::string& keyName);
// True when `text` is that question, for whichever entry.
bool isOldProductQuestion(const std::string& text);

} // namespace oxlo::catalogue
