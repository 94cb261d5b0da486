// A mapset installed in a fresh test folder and registered as MapSource expects it, the Edit
// Mapset window opened on it as the main window does, and ways to look at the outcome.
#pragma once

#include "catalogue/installed_mapsets.h"
#include "platform/portable/scripted_ui.h"
#include "support/registry_access.h"
#include "support/shown_messages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace oxlo::editor_test {

using Bytes = std::vector<std::uint8_t>;

inline const std::string kMapsource = testing::kMapsource;
inline const std::string kProducts = std::string(testing::kMapsourceProducts) + "\\";
inline const std::string kFamilies = std::string(testing::kMapsourceFamilies) + "\\";

struct RegistryValue {
    unsigned type = 0;
    Bytes bytes;
    bool operator==(const RegistryValue&) const = default;
};
using KeyValues = std::map<std::string, RegistryValue>;
void PrintTo(const RegistryValue& value, std::ostream* out);

RegistryValue textValue(const std::string& text); // REG_SZ with its NUL

// A family Alpen as other installers leave it: more values and subkeys than the program writes.
void addFamilyExtras(const std::string& loc);

// Every value of a key (empty map when the key is missing) and the names of its subkeys.
KeyValues valuesOf(const std::string& key);
std::vector<std::string> subkeysOf(const std::string& key);
bool keyExists(const std::string& key);

Bytes readBytes(const std::string& path); // empty when missing
Bytes testData(const std::string& file);  // a file of tests/data
void writeBytes(const std::string& path, const Bytes& bytes);
// The file names in a folder exactly as stored (letter case included), sorted.
std::vector<std::string> namesIn(const std::string& folder);
// The product code (bytes 3-4) and the stored name (from byte 9 to its first zero) of a .TDB.
int productCodeOf(const Bytes& tdb);
std::string storedNameOf(const Bytes& tdb);

// Every key below SOFTWARE\Garmin\Mapsource with its values, by its path relative to it.
using RegistryDump = std::map<std::string, KeyValues>;
RegistryDump registryDump();
// The dump with the product key `from` (and its subkeys) under the name `to`.
RegistryDump withProductKeyMoved(RegistryDump dump, const std::string& from, const std::string& to);

using testing::Shown;
using testing::textsAndFlags;
inline const std::pair<std::string, int> kEdited{"Mapset edited.", 0x40};
inline std::pair<std::string, int> warning(const std::string& text) { return {text, 0x30}; }

inline const std::string kLonger =
    "New name cannot be longer than original name. Please use a shorter name.";
inline const std::string kRange = "Product code range limited to 100 - 200 by Oxlo. Please select "
                                  "a number between 100 and 200.";
inline const std::string kFolderName = "Please use a mapset name that can be a folder name.";

// Exactly "BMAP", "LOC" and "TDB" naming name.IMG and name.TDB in `loc`.
KeyValues productValues(const std::string& loc, const std::string& name);

// The index after a rename keeps every byte but the stored name's, which is padded with blanks to
// its old length.
void expectOnlyNameChanged(const Bytes& before, const Bytes& after, const std::string& name,
                           std::size_t oldLength);

// A registry and file state to compare before and after an edit.
struct Snapshot {
    std::vector<std::string> files;
    Bytes map, index;
    KeyValues products150, productsAlpen, familyAlpen, familyAlpen1;
    std::vector<std::string> families, products;
    bool operator==(const Snapshot&) const = default;
};

class EditMapsetTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Alpen.IMG and Alpen.TDB (product code 150, stored name "Alpen") in `loc`, and the row a scan
    // reads for them in form "N", "O" or "F", registered accordingly.
    catalogue::InstalledMapset installAlpen(const std::string& form);
    // name.IMG (the Alpen map) and name.TDB holding `tdb` in `folder`, registered under
    // Products\keyName; the row a scan reads for them (form "N" for a number above 0, else "O").
    catalogue::InstalledMapset installProduct(const std::string& folder, const std::string& name,
                                              const Bytes& tdb, const std::string& keyName);

    // Opens the window on `row` as the main window does, types the two fields when given
    // (nullptr: left as filled), delivers `press` (5 Edit Mapset, 7 Cancel, -1 the close request),
    // answers every message with OK and returns the boxes shown, each checked to carry the
    // window's title.
    Shown edit(catalogue::InstalledMapset& row, const char* name, const char* number, int press = 5);

    // Presses Edit Mapset after typing `typed` into the number field and gives the field's text
    // when the first message box appears.
    std::string numberFieldAtFirstBox(catalogue::InstalledMapset& row, const std::string& typed);

    // For a row installed by installAlpen("F"): Alpen.TYP (village.typ with family ID 6001) and
    // Alpen.mdx (two maps of family 6001), registered as the family's "TYP" and "IDX".
    void installFamilyFiles();
    // The family ID in every place that holds it: the registry's "ID", the .TDB, each record of
    // Alpen.mdx and Alpen.TYP (-1 where it cannot be read).
    std::vector<int> familyIdsHeld(const std::string& tdb) const;

    Snapshot snapshot() const;
    // Compares each part of the state with `before`, naming the part that changed.
    void expectUnchangedSince(const Snapshot& before) const;
    std::string mapPath(const std::string& name) const { return loc + "\\" + name + ".IMG"; }
    std::string tdbPath(const std::string& name) const { return loc + "\\" + name + ".TDB"; }

    std::string loc;          // the mapset folder, a Windows path without trailing backslash
    Bytes originalTdb;        // the index file as installed
};

} // namespace oxlo::editor_test
