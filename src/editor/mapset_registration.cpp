#include "editor/mapset_registration.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/mapset_names.h"
#include "catalogue/registry_layout.h"
#include "editor/edit_messages.h"
#include "editor/mapset_files.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <cstring>
#include <utility>
#include <vector>

namespace oxlo::editor {

using catalogue::InstalledMapset;
using catalogue::kCatalogueRoot;
using catalogue::RegistryTree;
using catalogue::sameIgnoringCase;

namespace {

// The subkey of a family key that holds its files.
bool isFamily(const InstalledMapset& row) { return row.form == catalogue::kFormFamily; }

std::string newKeyPath(const InstalledMapset& row, const std::string& newName) {
    if (isFamily(row)) return catalogue::kFamiliesKey + newName;
    return catalogue::kProductsKey + platform::textFromNumber(row.id);
}

// A REG_SZ value with its NUL, as writeRegistryValue stores text; replaced where the key has it.
void setText(RegistryTree& tree, const std::string& name, const std::string& text) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    for (auto& value : tree.values) {
        if (sameIgnoringCase(value.name, name)) {
            value.type = platform::kRegSz;
            value.bytes = std::move(bytes);
            value.stored = false;
            return;
        }
    }
    tree.values.push_back({name, platform::kRegSz, std::move(bytes)});
}

void setFileValues(RegistryTree& tree, const InstalledMapset& row, const std::string& newName) {
    setText(tree, catalogue::kValueBmap, overviewMapPath(row.loc, newName));
    setText(tree, catalogue::kValueLoc, row.loc);
    setText(tree, catalogue::kValueTdb, indexPath(row.loc, newName));
}

// The product subkey that holds the family's files: the one the scan read them from ("1" for
// nearly every family, another number for a mapset installed with another product ID).
RegistryTree& familyFiles(RegistryTree& family, const std::string& productKey) {
    const std::string subkey = productKey.empty() ? "1" : productKey;
    for (auto& [name, contents] : family.subkeys)
        if (sameIgnoringCase(name, subkey)) return contents;
    family.subkeys.emplace_back(subkey, RegistryTree{});
    return family.subkeys.back().second;
}

} // namespace

std::string rowKeyPath(const InstalledMapset& row) {
    // Rows always carry the key they came from; the fallback is the key the row's form implies.
    // Never an empty subkey name: that would address the whole branch.
    std::string subkey = row.keyName;
    if (subkey.empty()) {
        subkey = row.form == catalogue::kFormNumericProduct ? platform::textFromNumber(row.id)
                                                            : row.name;
    }
    std::string branch = row.branch;
    if (branch.empty())
        branch = isFamily(row) ? catalogue::kFamiliesBranch : catalogue::kProductsBranch;
    return catalogue::kBaseKey + catalogue::relativeKeyPath(branch, subkey);
}

std::string relativeKey(const std::string& key) {
    return key.substr(std::strlen(catalogue::kBaseKey));
}

std::string otherRegistration(const InstalledMapset& row, const std::string& path) {
    for (int i = 1; i <= catalogue::mapsetCount; ++i) {
        const InstalledMapset& other = catalogue::installedMapsets[static_cast<std::size_t>(i)];
        if (other.branch == row.branch && sameIgnoringCase(other.keyName, row.keyName)) continue;
        for (const std::string* file : {&other.tdb, &other.typ, &other.bmap})
            if (!file->empty() && catalogue::samePath(*file, path))
                return relativeKey(rowKeyPath(other));
    }
    return {};
}

std::string registrationRefusal(const InstalledMapset& row, const std::string& newName) {
    const std::string code = platform::textFromNumber(row.id);
    if (!isFamily(row) && row.id <= 0)
        return notRenamed(row.name, "its .TDB file holds no valid product code (" + code + ").");
    const std::string newKey = newKeyPath(row, newName);
    if (sameIgnoringCase(rowKeyPath(row), newKey)) return {};
    switch (catalogue::registryKeyPresence(newKey)) {
    case catalogue::KeyPresence::Absent:
        return {};
    case catalogue::KeyPresence::Present:
        if (isFamily(row))
            return "A mapset named " + newName + " is already installed. Please use another name.";
        return notRenamed(row.name,
                          "product code " + code + " is already registered to another mapset (" +
                              catalogue::relativeKeyPath(catalogue::kProductsBranch, code) + ").");
    case catalogue::KeyPresence::Unknown:
        break;
    }
    // Whose key it is cannot be told, so it is not written over.
    return notRenamed(row.name, kRegistryNotRewritten);
}

std::optional<Reregistration> prepareReregistration(const InstalledMapset& row,
                                                    const std::string& newName) {
    Reregistration move;
    move.oldKey = rowKeyPath(row);
    std::optional<RegistryTree> old = catalogue::readRegistryTree(kCatalogueRoot, move.oldKey);
    if (!old) return std::nullopt;
    move.oldTree = std::move(*old);
    move.newKey = newKeyPath(row, newName);
    if (isFamily(row)) {
        move.newTree = move.oldTree;
        setFileValues(familyFiles(move.newTree, row.productKey), row, newName);
    } else {
        setFileValues(move.newTree, row, newName);
    }
    return move;
}

} // namespace oxlo::editor
