// The catalogue scan: MapSource's Families and Products keys become the table installedMapsets
// and the main list, and old-form product keys are offered for repair.
#include "catalogue/installed_mapsets.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/catalogue_registry.h"
#include "catalogue/mapset_check.h"
#include "catalogue/name_rules.h"
#include "catalogue/mapset_registration.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "catalogue/registry_tree.h"
#include "mapfile/map_file.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/ui.h"

#include <string>
#include <string_view>

namespace oxlo::catalogue {

std::array<InstalledMapset, kMaxMapsets + 1> installedMapsets;
int mapsetCount = 0;

namespace {

constexpr int kMainList = 0;
constexpr int kCountLabel = 1;
constexpr const char* kScanTitle = "Read Mapset";

// A numeric product key is listed under its .TDB's file name without the extension.
std::string nameFromTdbPath(const std::string& tdb)
{
    const std::string file = platform::getFilePart(tdb);
    return file.size() > 4 ? file.substr(0, file.size() - 4) : std::string();
}

void refuseRepair(const std::string& keyName, const std::string& reason)
{
    platform::showMessage(kScanTitle,
                          "Mapset " + keyName + " was not fixed: " + reason +
                              " Its registry entry stays as it is.",
                          platform::kMessageWarning);
}

// Moves an old-form product entry to the key named by its product code. The new key is complete
// before the old one goes, so a failure never leaves the mapset without an entry; a code that
// cannot be right, or one that another entry already uses, refuses the repair.
void repairOldProduct(InstalledMapset& row, const std::string& codeText)
{
    const std::string& oldKey = row.keyName;
    // The new entry is made from these values alone: one that could not be read would leave
    // the mapset registered without its folder.
    if (row.loc.empty() || row.tdb.empty()) {
        refuseRepair(oldKey, "its registry entry could not be read.");
        return;
    }
    if (codeText.empty()) {
        refuseRepair(oldKey, "its .TDB file \"" + row.tdb + "\" could not be read.");
        return;
    }
    if (row.id <= 0) {
        refuseRepair(oldKey, "its .TDB file \"" + row.tdb + "\" holds no valid product code (" +
                                 platform::textFromNumber(row.id) + ").");
        return;
    }
    const std::string newKey = platform::textFromNumber(row.id);
    const std::string newPath = std::string(kProductsKey) + newKey;
    if (registryKeyExists(newPath)) {
        refuseRepair(oldKey, "another mapset is already registered under product code " + newKey +
                                 " (" + relativeKeyPath(kProductsBranch, newKey) + ").");
        return;
    }
    if (!backUpKey(relativeKeyPath(kProductsBranch, oldKey), kScanTitle)) return;
    if (platform::createRegistryKey(kCatalogueRoot, newPath, kLocalComputer) == 0) {
        refuseRepair(oldKey, "the registry entry " + relativeKeyPath(kProductsBranch, newKey) +
                                 " could not be created.");
        return;
    }
    RegistryTree entry;
    entry.values = {textValue(kValueBmap, joinPath(row.loc, oldKey + ".IMG")),
                    textValue(kValueLoc, row.loc), textValue(kValueTdb, row.tdb)};
    if (!writeNewKey(newPath, entry)) {
        refuseRepair(oldKey, "the registry entry " + relativeKeyPath(kProductsBranch, newKey) +
                                 " could not be written.");
        return;
    }
    // Never both: when the old entry cannot go, the new one goes again and the old one stays.
    if (!deleteRegistryTreeOrKeep(kCatalogueRoot, std::string(kProductsKey) + oldKey)) {
        platform::deleteRegistryTree(kCatalogueRoot, newPath);
        refuseRepair(oldKey, "the registry entry " + relativeKeyPath(kProductsBranch, oldKey) +
                                 " could not be removed.");
        return;
    }
    row.form = kFormNumericProduct;
    row.bmap = joinPath(row.loc, oldKey + ".IMG"); // before the key name that oldKey refers to
    row.keyName = newKey;
}

void readFamily(InstalledMapset& row, const CatalogueBranch& families, const std::string& keyName)
{
    row.name = keyName;
    row.keyName = keyName;
    row.branch = kFamiliesBranch;
    // The family's key is opened once for all its values: under Wine each open costs as much as
    // several reads.
    const CatalogueBranch family = families.subkey(keyName);
    const auto id = family.number("", kValueId);
    row.idRead = id.has_value();
    row.id = static_cast<std::int32_t>(id.value_or(0));
    row.typ = family.values("", {kValueTyp})[0];
    row.productKey = "1";
    auto files = family.values(row.productKey, {kValueLoc, kValueTdb, kValueBmap});
    if (files[0].empty() && files[1].empty() && files[2].empty()) {
        // Listed only for entries without files under "1": most families have them there.
        row.productKey = familyProductSubkey(kFamiliesKey + keyName);
        files = family.values(row.productKey, {kValueLoc, kValueTdb, kValueBmap});
    }
    row.loc = files[0];
    row.tdb = files[1];
    row.bmap = files[2];
    row.form = kFormFamily;
}

// `offerRepair`: the registry was listed whole. A repair next to entries that could not be listed
// could take a product code that one of them holds.
void readProduct(InstalledMapset& row, const CatalogueBranch& products, const std::string& keyName,
                 bool offerRepair)
{
    row.name = keyName;
    row.keyName = keyName;
    row.branch = kProductsBranch;
    const auto files = products.values(keyName, {kValueLoc, kValueTdb, kValueBmap});
    row.loc = files[0];
    row.tdb = files[1];
    row.bmap = files[2];
    row.form = kFormOldProduct;
    // The code always comes from the .TDB, never from the key name.
    const std::string codeText = mapfile::readWordAtOffset(row.tdb, kTdbProductCodeOffset);
    row.id = platform::numberFromText(codeText);
    if (platform::numberFromText(keyName) > 0) {
        row.name = nameFromTdbPath(row.tdb);
        row.form = kFormNumericProduct;
        return;
    }
    if (!offerRepair) return;
    const int answer =
        platform::showMessage(kScanTitle, oldProductQuestion(keyName), platform::kMessageQuestion);
    if (answer == platform::kAnswerYes) {
        repairOldProduct(row, codeText);
    }
}

// Rows with a problem stand out in dark red and name their problems when the pointer rests on
// them; the others look as always.
constexpr std::uint32_t kProblemColour = platform::rgbColour(192, 0, 0);

void showRow(const InstalledMapset& row, int listRow)
{
    const char* prefix = isBundle(row)                    ? "GMAP"
                         : row.branch == kFamiliesBranch ? "FID"
                                                         : "COD";
    // A row without a name (a numeric key whose .TDB path gives none) is shown by its key.
    const std::string& shownName = row.name.empty() ? row.keyName : row.name;
    platform::addListItem(kMainList, -1,
                          prefix + platform::textFromNumber(row.id) + "\n" + shownName);
    if (!row.problems.empty()) {
        platform::setListRowColour(kMainList, listRow, kProblemColour);
        platform::setListRowToolTip(kMainList, listRow, problemLines(row));
    }
}

} // namespace

namespace {
constexpr std::string_view kOldProductStart = "Mapset ";
constexpr std::string_view kOldProductEnd = " is incompatible with Mapsource 6.14.1 or later. Fix?";
} // namespace

std::string oldProductQuestion(const std::string& keyName)
{
    return std::string(kOldProductStart) + keyName + std::string(kOldProductEnd);
}

bool isOldProductQuestion(const std::string& text)
{
    return text.size() > kOldProductStart.size() + kOldProductEnd.size() &&
           text.starts_with(kOldProductStart) && text.ends_with(kOldProductEnd);
}

void scanInstalledMapsets()
{
    // Drawn once when full: a list redrawn (and its scroll bars worked out) after every row takes
    // most of the scan's time with a big collection.
    platform::holdListDrawing(kMainList, 1);
    platform::clearListItems(kMainList);
    installedMapsets.fill(InstalledMapset{});
    int count = 0;
    bool tooMany = false;

    const CatalogueBranch families(kFamiliesKey);
    for (const auto& keyName : families.names()) {
        if (count == kMaxMapsets) {
            tooMany = true;
            break;
        }
        readFamily(installedMapsets[++count], families, keyName);
    }
    const CatalogueBranch products(kProductsKey);
    const bool listedWhole = families.complete() && products.complete();
    if (!tooMany) {
        for (const auto& keyName : products.names()) {
            if (count == kMaxMapsets) {
                tooMany = true;
                break;
            }
            readProduct(installedMapsets[++count], products, keyName, listedWhole);
        }
    }
    if (!tooMany) {
        for (const auto& folder : findBundleFolders()) {
            if (count == kMaxMapsets) {
                tooMany = true;
                break;
            }
            readBundle(installedMapsets[++count], folder);
        }
    }

    checkInstalledMapsets(count);
    for (int slot = 1; slot <= count; ++slot) {
        showRow(installedMapsets[slot], slot - 1);
    }
    platform::holdListDrawing(kMainList, 0);
    mapsetCount = count;
    platform::setControlText(kCountLabel,
                             platform::textFromNumber(mapsetCount) + " Installed Mapsets");
    if (tooMany) {
        platform::showMessage(kScanTitle, "Only the first 100 mapsets can be listed.",
                              platform::kMessageWarning);
    }
    if (!listedWhole)
        platform::showMessage(kScanTitle, kListNotWholeText, platform::kMessageWarning);
}

} // namespace oxlo::catalogue
