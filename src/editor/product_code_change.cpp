#include "editor/product_code_change.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/mapset_registration.h"
#include "catalogue/mapset_names.h"
#include "catalogue/registered_files.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "editor/mapset_registration.h"
#include "editor/word_changes.h"
#include "mapfile/map_file.h"
#include "platform/services.h"

#include <optional>

namespace oxlo::editor {

namespace {

using catalogue::InstalledMapset;

constexpr int kLowestCode = 100;
constexpr int kHighestCode = 200;
// 0-based place of the product code in a .TDB.
constexpr std::int64_t kCodePosition = catalogue::kTdbProductCodeOffset - 1;
constexpr const char* kProductCodeField = "product code";

StepOutcome notDone(const std::string& text) {
    warnUser(text);
    return StepOutcome::NotDone;
}

} // namespace

StepOutcome changeProductCode(InstalledMapset& row, std::int64_t number) {
    catalogue::KeyMove move;
    move.oldKey = rowKeyPath(row);
    // The code the index holds already is all done only when the key names it too; an entry kept
    // under another key still moves.
    const auto keyOfCode = [](std::int32_t code) {
        return catalogue::kProductsKey + platform::textFromNumber(code);
    };
    if (number == row.id && catalogue::sameIgnoringCase(move.oldKey, keyOfCode(row.id)))
        return StepOutcome::Done;
    if (number < kLowestCode || number > kHighestCode)
        return refuseNumber(row.id, "Product code range limited to 100 - 200 by Oxlo. Please "
                                    "select a number between 100 and 200.");
    const auto newCode = static_cast<std::uint16_t>(number);
    const std::string code = platform::textFromNumber(newCode);
    move.newKey = keyOfCode(newCode);
    const bool sameKey = catalogue::sameIgnoringCase(move.oldKey, move.newKey);
    if (!sameKey) {
        const catalogue::KeyPresence taken = catalogue::registryKeyPresence(move.newKey);
        if (taken == catalogue::KeyPresence::Present)
            return refuseNumber(row.id,
                                notChanged(kProductCodeField, row.name,
                                           "product code " + code +
                                               " is already registered to another mapset (" +
                                               relativeKey(move.newKey) + ")."));
        // Whose key it is cannot be told, so it is not written over.
        if (taken == catalogue::KeyPresence::Unknown)
            return notDone(notChanged(kProductCodeField, row.name, kRegistryNotRewritten));
    }
    const std::optional<catalogue::RegistryTree> tree =
        catalogue::readRegistryTree(catalogue::kCatalogueRoot, move.oldKey);
    if (!tree) return notDone(notChanged(kProductCodeField, row.name, kRegistryNotRewritten));
    move.oldTree = move.newTree = *tree;
    // Only an existing index is patched (an edit never creates a file).
    const std::optional<std::uint16_t> oldCode = mapfile::readHeaderWord(row.tdb, kCodePosition);
    const std::string notWritten = "The product code could not be written to " + row.tdb + ".";
    if (!oldCode) return notDone(notWritten);
    // An index another entry registers too would change under that entry as well.
    if (*oldCode != newCode) {
        const std::optional<catalogue::RegisteredFiles> registered =
            catalogue::RegisteredFiles::read();
        if (!registered)
            return notDone(notChanged(kProductCodeField, row.name,
                                      "the registered mapsets could not be read."));
        if (const std::string owner = registered->otherOwner(row.tdb, relativeKey(move.oldKey));
            !owner.empty())
            return refuseNumber(row.id, notChanged(kProductCodeField, row.name,
                                                   row.tdb + " is also registered by " + owner +
                                                       "."));
    }
    if (!sameKey && !catalogue::backUpKey(relativeKey(move.oldKey), kEditTitle))
        return StepOutcome::NotDone;

    std::vector<WordChange> index;
    if (*oldCode != newCode)
        index.push_back({row.tdb, {{kCodePosition, *oldCode}}, {{kCodePosition, newCode}}});
    const WordChangeResult written = applyWordChanges(index);
    if (!written.failedFile.empty()) {
        if (written.putBack) return notDone(notWritten);
        warnUser(changedInPart(kProductCodeField, row.name, "its index file " + row.tdb));
        return StepOutcome::Damaged;
    }
    // The registry comes last: until it names the new code, MapSource still finds the old entry.
    const catalogue::KeyMoveOutcome moved =
        sameKey ? catalogue::KeyMoveOutcome::Moved : catalogue::moveKey(move);
    if (moved == catalogue::KeyMoveOutcome::Moved) {
        row.id = newCode;
        row.keyName = code;
        row.branch = catalogue::kProductsBranch;
        row.form = catalogue::kFormNumericProduct;
        return StepOutcome::Done;
    }
    const bool indexBack = undoWordChanges(index);
    if (indexBack && moved == catalogue::KeyMoveOutcome::Unchanged)
        return notDone(notChanged(kProductCodeField, row.name, kRegistryNotRewritten));
    const std::string entries = "the registry entries " + relativeKey(move.oldKey) + " and " +
                                relativeKey(move.newKey);
    const std::string indexFile = "its index file " + row.tdb + " and ";
    warnUser(changedInPart(kProductCodeField, row.name,
                           index.empty() ? entries : indexFile + entries));
    return StepOutcome::Damaged;
}

} // namespace oxlo::editor
