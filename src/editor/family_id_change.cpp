#include "editor/family_id_change.h"

#include "catalogue/family_ids.h"
#include "catalogue/mapset_names.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "catalogue/registry_tree.h"
#include "editor/mapset_registration.h"
#include "editor/word_changes.h"
#include "mapfile/map_file.h"
#include "mapfile/mdx_file.h"
#include "mapfile/typ_file.h"
#include "platform/services.h"

#include <optional>

namespace oxlo::editor {

namespace {

using catalogue::InstalledMapset;
using catalogue::RegistryTree;
using mapfile::HeldWord;

constexpr const char* kWhat = "family ID";

// A text value of the key itself, empty when it has none.
std::string textValue(const RegistryTree& tree, const char* name) {
    for (const auto& value : tree.values) {
        if (!catalogue::sameIgnoringCase(value.name, name) || value.type != platform::kRegSz)
            continue;
        std::string text(value.bytes.begin(), value.bytes.end());
        while (!text.empty() && text.back() == '\0') text.pop_back();
        return text;
    }
    return {};
}

bool inFolder(const std::string& path, const std::string& folder) {
    const std::size_t slash = path.rfind('\\');
    return slash != std::string::npos && catalogue::samePath(path.substr(0, slash), folder);
}

std::vector<HeldWord> withValue(std::vector<HeldWord> words, std::uint16_t value) {
    for (HeldWord& word : words) word.value = value;
    return words;
}

// The files to change and their words as they are now. A file that should hold the ID but cannot
// be read stops the change: it would be left behind with the old ID. Its path goes to `unreadable`.
std::optional<std::vector<WordChange>> filesHoldingTheId(const InstalledMapset& row,
                                                         const RegistryTree& family,
                                                         std::uint16_t id,
                                                         std::string& unreadable) {
    std::vector<WordChange> changes;
    const auto add = [&](const std::string& path, std::optional<std::vector<HeldWord>> words) {
        if (!words) {
            unreadable = path;
            return false;
        }
        changes.push_back({path, *words, withValue(*words, id)});
        return true;
    };
    const auto word = [](const std::string& path, std::int64_t position)
        -> std::optional<std::vector<HeldWord>> {
        if (const auto value = mapfile::readHeaderWord(path, position))
            return std::vector<HeldWord>{{position, *value}};
        return std::nullopt;
    };
    if (!add(row.tdb, word(row.tdb, mapfile::kTdbFamilyIdPosition))) return std::nullopt;
    const std::string mdx = textValue(family, catalogue::kValueIdx);
    if (!mdx.empty() && !add(mdx, mapfile::readMdxFamilyIds(mdx))) return std::nullopt;
    const std::string typ = textValue(family, catalogue::kValueTyp);
    if (typ.empty() || !inFolder(typ, row.loc)) return changes;
    switch (mapfile::typLayout(typ)) {
    case mapfile::TypLayout::Typ:
        if (!add(typ, word(typ, mapfile::kTypFamilyIdPosition))) return std::nullopt;
        break;
    case mapfile::TypLayout::Other: // holds no family ID to keep in step
        break;
    case mapfile::TypLayout::Unreadable:
        unreadable = typ;
        return std::nullopt;
    }
    return changes;
}

// The TYP file's copy, when the TYP is among the files to change.
bool copyTypIfChanged(const std::vector<WordChange>& changes, const std::string& typ) {
    for (const WordChange& change : changes)
        if (change.path == typ) return mapfile::keepTypCopy(typ);
    return true;
}

std::string places(const std::vector<WordChange>& changes, const std::string& key) {
    std::string text;
    for (const WordChange& change : changes) text += change.path + ", ";
    return text + "and the registry entry " + key;
}

StepOutcome notDone(const InstalledMapset& row, const std::string& reason) {
    warnUser(notChanged(kWhat, row.name, reason));
    return StepOutcome::NotDone;
}

} // namespace

StepOutcome changeFamilyId(InstalledMapset& row, std::int32_t number) {
    if (number == row.id) return StepOutcome::Done;
    if (number < catalogue::kLowestFamilyId || number > catalogue::kHighestFamilyId)
        return refuseNumber(row.id, "Family IDs range from 1 to 65534. Please select a number in "
                                    "that range.");
    const auto id = static_cast<std::uint16_t>(number);
    const std::string text = platform::textFromNumber(number);
    if (const std::string holder = catalogue::familyIdHolder(id, row.keyName); !holder.empty())
        return refuseNumber(row.id, "Family ID " + text + " is already used by mapset " + holder +
                                        ". Please choose another family ID.");

    const std::string key = rowKeyPath(row);
    const std::optional<RegistryTree> family =
        catalogue::readRegistryTree(catalogue::kCatalogueRoot, key);
    if (!family) return notDone(row, kRegistryNotRewritten);
    std::string unreadable;
    const auto changes = filesHoldingTheId(row, *family, id, unreadable);
    if (!changes) return notDone(row, unreadable + " could not be read.");
    if (!catalogue::backUpKey(relativeKey(key), kEditTitle)) return StepOutcome::NotDone;
    const std::string typ = textValue(*family, catalogue::kValueTyp);
    if (!copyTypIfChanged(*changes, typ))
        return notDone(row, "no copy of " + typ + " could be saved.");

    const WordChangeResult written = applyWordChanges(*changes);
    bool putBack = written.putBack;
    std::string reason = "it could not be written to " + written.failedFile + ".";
    if (written.failedFile.empty()) {
        // The registry comes last: it is what MapSource reads the family ID from.
        if (catalogue::writeFamilyId(key, id)) {
            row.id = number;
            return StepOutcome::Done;
        }
        putBack = undoWordChanges(*changes);
        reason = kRegistryNotRewritten;
    }
    if (putBack) return notDone(row, reason);
    warnUser(changedInPart(kWhat, row.name, places(*changes, relativeKey(key))));
    return StepOutcome::Damaged;
}

} // namespace oxlo::editor
