#include "editor/mapset_registration.h"

#include "catalogue/catalogue_registry.h"
#include "editor/mapset_files.h"
#include "catalogue/registry_tree.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace oxlo::editor {

using platform::kLocalMachine;

namespace {

void writeFileValues(const std::string& key, const catalogue::InstalledMapset& row,
                     const std::string& newName) {
    platform::writeRegistryValue(kLocalMachine, key, "BMAP", overviewMapPath(row.loc, newName),
                                 platform::kValueText, "");
    platform::writeRegistryValue(kLocalMachine, key, "LOC", row.loc, platform::kValueText, "");
    platform::writeRegistryValue(kLocalMachine, key, "TDB", indexPath(row.loc, newName),
                                 platform::kValueText, "");
}

// A sibling of `key` that does not exist yet, to carry a family across a change of letter case
// (registry key names ignore case, so the new key is the old one).
std::string freeTemporaryKey(const std::string& key) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = key + ".oxlo" + platform::textFromNumber(attempt) + "~";
        if (!catalogue::registryKeyExists(candidate)) return candidate;
    }
    return {};
}

// Copies `from` to `to`; on failure removes what was copied and leaves `from` as it was.
bool copyOrClean(const std::string& from, const std::string& to) {
    if (catalogue::copyRegistryTree(kLocalMachine, from, to)) return true;
    platform::deleteRegistryTree(kLocalMachine, to);
    return false;
}

} // namespace

std::string rowKeyPath(const catalogue::InstalledMapset& row) {
    // Rows always carry the key they came from; the fallback is the key the row's form implies.
    // Never an empty subkey name: that would address the whole branch.
    std::string subkey = row.keyName;
    if (subkey.empty()) subkey = row.form == "N" ? platform::textFromNumber(row.id) : row.name;
    const std::string branch =
        !row.branch.empty() ? row.branch : (row.form == "F" ? "Families" : "Products");
    return std::string(kMapsourceKey) + branch + "\\" + subkey;
}

bool familyNameTaken(const catalogue::InstalledMapset& row, const std::string& newName) {
    const std::string oldKey = rowKeyPath(row);
    const std::string newKey = kFamiliesKey + newName;
    return !sameIgnoringCase(oldKey, newKey) && catalogue::registryKeyExists(newKey);
}

void reregisterProduct(const catalogue::InstalledMapset& row, const std::string& newName) {
    const std::string key = kProductsKey + platform::textFromNumber(row.id);
    platform::deleteRegistryTree(kLocalMachine, rowKeyPath(row));
    platform::createRegistryKey(kLocalMachine, key, "");
    writeFileValues(key, row, newName);
}

void reregisterFamily(const catalogue::InstalledMapset& row, const std::string& newName) {
    const std::string oldKey = rowKeyPath(row);
    const std::string newKey = kFamiliesKey + newName;

    if (sameIgnoringCase(oldKey, newKey)) {
        const std::string temporary = freeTemporaryKey(newKey);
        if (temporary.empty() || !copyOrClean(oldKey, temporary)) return;
        platform::deleteRegistryTree(kLocalMachine, oldKey);
        if (!copyOrClean(temporary, newKey)) {
            copyOrClean(temporary, oldKey);
            platform::deleteRegistryTree(kLocalMachine, temporary);
            return;
        }
        platform::deleteRegistryTree(kLocalMachine, temporary);
        platform::createRegistryKey(kLocalMachine, newKey + "\\1", "");
        writeFileValues(newKey + "\\1", row, newName);
        return;
    }

    if (!copyOrClean(oldKey, newKey)) return;
    platform::createRegistryKey(kLocalMachine, newKey + "\\1", "");
    writeFileValues(newKey + "\\1", row, newName);
    platform::deleteRegistryTree(kLocalMachine, oldKey);
}

} // namespace oxlo::editor
