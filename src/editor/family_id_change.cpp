#include "editor/family_id_change.h"

#include "catalogue/family_ids.h"
#include "catalogue/mapset_names.h"
#include "catalogue/registered_files.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "catalogue/registry_tree.h"
#include "editor/mapset_registration.h"
#include "editor/word_changes.h"
#include "mapfile/map_file.h"
#include "mapfile/mdx_file.h"
#include "mapfile/typ_file.h"
#include "platform/services.h"

#include <cstring>
#include <optional>

namespace oxlo::editor {

namespace {

using catalogue::InstalledMapset;
using catalogue::RegistryTree;
using mapfile::HeldWord;

constexpr const char* kFamilyIdField = "family ID";

// A text value of the key itself, empty when it has none.
std::string textValue(const RegistryTree& tree, const char* name) {
    for (const auto& value : tree.values) {
        if (!catalogue::sameIgnoringCase(value.name, name) || value.type != platform::kRegSz ||
            value.stored)
            continue;
        std::string text(value.bytes.begin(), value.bytes.end());
        while (!text.empty() && text.back() == '\0') text.pop_back();
        return text;
    }
    return {};
}

const RegistryTree* familyIn(const RegistryTree& families, const std::string& keyName) {
    for (const auto& [name, family] : families.subkeys)
        if (catalogue::sameIgnoringCase(name, keyName)) return &family;
    return nullptr;
}

// The words that hold `oldId`, each given `newId`: a record of another family (an .mdx index
// made for several) or a field that holds something else is left as it is.
WordChange idChange(const std::string& path, const std::vector<HeldWord>& words,
                    std::uint16_t oldId, std::uint16_t newId) {
    WordChange change{path, {}, {}};
    for (const HeldWord& word : words) {
        if (word.value != oldId) continue;
        change.before.push_back(word);
        change.after.push_back({word.position, newId});
    }
    return change;
}

std::optional<std::vector<HeldWord>> headerWord(const std::string& path, std::int64_t position) {
    if (const auto value = mapfile::readHeaderWord(path, position))
        return std::vector<HeldWord>{{position, *value}};
    return std::nullopt;
}

// The files to change and their words as they are now. A file that should hold the ID but cannot
// be read stops the change: it would be left behind with the old ID. Its path goes to `unreadable`.
std::optional<std::vector<WordChange>> filesHoldingTheId(const InstalledMapset& row,
                                                         const RegistryTree& family,
                                                         std::uint16_t id,
                                                         std::string& unreadable) {
    const auto oldId = static_cast<std::uint16_t>(row.id);
    std::vector<WordChange> changes;
    const auto add = [&](const std::string& path, std::optional<std::vector<HeldWord>> words) {
        if (!words) {
            unreadable = path;
            return false;
        }
        WordChange change = idChange(path, *words, oldId, id);
        if (!change.before.empty()) changes.push_back(std::move(change));
        return true;
    };
    if (!add(row.tdb, headerWord(row.tdb, mapfile::kTdbFamilyIdPosition))) return std::nullopt;
    const std::string mdx = textValue(family, catalogue::kValueIdx);
    if (!mdx.empty() && !add(mdx, mapfile::readMdxFamilyIds(mdx))) return std::nullopt;
    const std::string typ = textValue(family, catalogue::kValueTyp);
    if (typ.empty()) return changes;
    switch (mapfile::typLayout(typ)) {
    case mapfile::TypLayout::Typ:
        if (!add(typ, headerWord(typ, mapfile::kTypFamilyIdPosition))) return std::nullopt;
        break;
    case mapfile::TypLayout::Other: // holds no family ID to keep in step
        break;
    case mapfile::TypLayout::Unreadable:
        unreadable = typ;
        return std::nullopt;
    }
    return changes;
}

// The TYP file's copy, when the TYP is among the files to change. `made` tells whether this
// change made it, so that an undone change takes it away again.
bool copyTypIfChanged(const std::vector<WordChange>& changes, const std::string& typ, bool& made) {
    made = false;
    for (const WordChange& change : changes) {
        if (change.path != typ) continue;
        made = platform::fileSize(typ + ".bak") == platform::kNoSuchPath;
        if (mapfile::keepTypCopy(typ)) return true;
        if (made) platform::deleteFile(typ + ".bak"); // what a failed copy left of it
        made = false;
        return false;
    }
    return true;
}

std::string places(const std::vector<WordChange>& changes, const std::string& key) {
    std::string text;
    for (const WordChange& change : changes) text += change.path + ", ";
    return text + "and the registry entry " + key;
}

StepOutcome notDone(const InstalledMapset& row, const std::string& reason) {
    warnUser(notChanged(kFamilyIdField, row.name, reason));
    return StepOutcome::NotDone;
}

} // namespace

StepOutcome changeFamilyId(InstalledMapset& row, std::int64_t number) {
    if (number == row.id) return StepOutcome::Done;
    if (number < catalogue::kLowestFamilyId || number > catalogue::kHighestFamilyId)
        return refuseNumber(row.id, "Family IDs range from 1 to 65534. Please select a number in "
                                    "that range.");
    const auto id = static_cast<std::uint16_t>(number);
    const std::string text = platform::textFromNumber(id);
    bool complete = true;
    const std::vector<catalogue::FamilyIdUse> uses = catalogue::familyIdUses(&complete);
    // The family that could not be read may hold the ID.
    if (!complete) return notDone(row, "the registered mapsets could not be read.");
    if (const auto holder = catalogue::familyIdHolder(id, row.keyName, uses))
        return refuseNumber(row.id, "Family ID " + text + " is already used by " +
                                        (holder->bundle ? "the BaseCamp bundle " : "mapset ") +
                                        holder->key + ". Please choose another family ID.");

    const std::string key = rowKeyPath(row);
    // The whole branch, read at once: a TYP that another family names must never be taken for
    // this family's alone because that family could not be read.
    const std::string branch(catalogue::kFamiliesKey, std::strlen(catalogue::kFamiliesKey) - 1);
    const std::optional<RegistryTree> families =
        catalogue::readRegistryTree(catalogue::kCatalogueRoot, branch);
    const RegistryTree* family = families ? familyIn(*families, row.keyName) : nullptr;
    if (!family) return notDone(row, kRegistryNotRewritten);
    std::string unreadable;
    const auto changes = filesHoldingTheId(row, *family, id, unreadable);
    if (!changes) return notDone(row, unreadable + " could not be read.");
    // A file another entry registers is not this mapset's alone to write: the change would
    // break that entry, and leaving the file behind would break this one.
    const std::optional<catalogue::RegisteredFiles> registered = catalogue::RegisteredFiles::read();
    if (!registered) return notDone(row, "the registered mapsets could not be read.");
    for (const WordChange& change : *changes) {
        const std::string owner = registered->otherOwner(change.path, relativeKey(key));
        if (!owner.empty())
            return refuseNumber(row.id, notChanged(kFamilyIdField, row.name,
                                                   change.path + " is also registered by " +
                                                       owner + "."));
    }
    if (!catalogue::backUpKey(relativeKey(key), kEditTitle)) return StepOutcome::NotDone;
    const std::string typ = textValue(*family, catalogue::kValueTyp);
    bool typCopyMade = false;
    if (!copyTypIfChanged(*changes, typ, typCopyMade))
        return notDone(row, "no copy of " + typ + " could be saved.");

    const WordChangeResult written = applyWordChanges(*changes);
    bool putBack = written.putBack;
    std::string reason = "it could not be written to " + written.failedFile + ".";
    if (written.failedFile.empty()) {
        // The registry comes last: it is what MapSource reads the family ID from.
        if (catalogue::writeFamilyId(key, id)) {
            row.id = id;
            return StepOutcome::Done;
        }
        putBack = undoWordChanges(*changes);
        reason = kRegistryNotRewritten;
    }
    if (putBack) {
        if (typCopyMade) platform::deleteFile(typ + ".bak");
        return notDone(row, reason);
    }
    warnUser(changedInPart(kFamilyIdField, row.name, places(*changes, relativeKey(key))));
    return StepOutcome::Damaged;
}

} // namespace oxlo::editor
