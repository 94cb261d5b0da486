#include "catalogue/mapset_install.h"

#include "catalogue/entry_paths.h"
#include "catalogue/family_ids.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "catalogue/mapset_registration.h"
#include "catalogue/registered_files.h"
#include "catalogue/registry_layout.h"
#include "mapfile/map_file.h"
#include "mapfile/tdb_index.h"
#include "mapfile/typ_file.h"
#include "platform/services.h"
#include "platform/ui.h"

#include <algorithm>
#include <optional>

namespace oxlo::catalogue {

namespace {

constexpr int kMainList = 0;

void refuse(const std::string& text)
{
    platform::showMessage(kInstallTitle, text, platform::kMessageWarning);
}

bool confirmed(const std::string& text)
{
    return platform::showMessage(kInstallTitle, text, platform::kMessageQuestion) ==
           platform::kAnswerYes;
}

std::string withoutExtension(const std::string& file)
{
    const std::size_t dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

// The files of a mapset folder, each looked up by name without regard to letter case and given
// back as spelled on disk.
class FolderFiles {
public:
    explicit FolderFiles(const std::string& folder)
        : folder_(folder), names_(platform::listFiles(folder, "*"))
    {
    }
    // The full path of `name` as the disk spells it; empty when there is no such file.
    std::string find(const std::string& name) const
    {
        const auto found = std::find_if(names_.begin(), names_.end(), [&](const std::string& file) {
            return sameIgnoringCase(file, name);
        });
        return found == names_.end() ? std::string() : joinPath(folder_, *found);
    }
    std::vector<std::string> withExtension(const std::string& extension) const
    {
        std::vector<std::string> paths;
        for (const std::string& file : names_)
            if (file.size() > extension.size() &&
                sameIgnoringCase(file.substr(file.size() - extension.size()), extension))
                paths.push_back(joinPath(folder_, file));
        std::sort(paths.begin(), paths.end());
        return paths;
    }

private:
    std::string folder_;
    std::vector<std::string> names_;
};


struct TypChoice {
    bool cancelled = false;
    std::string path;   // empty: none registered
    bool stamp = false; // give it the mapset's family ID first
    std::uint16_t oldId = 0;
};

// The TYP file to register: one of the folder's that holds `familyId`, else the only one, which
// the user may have stamped with it. One that another entry than `ownKey` registers is not this
// mapset's to stamp.
TypChoice chooseTyp(const FolderFiles& files, std::uint16_t familyId, const std::string& ownKey)
{
    const std::vector<std::string> typs = files.withExtension(".typ");
    std::optional<std::uint16_t> other;
    for (const std::string& typ : typs) {
        other = mapfile::readHeaderWord(typ, mapfile::kTypFamilyIdPosition);
        // Never installed without a TYP that may be its own only because it could not be read.
        if (!other) {
            refuse("The TYP file " + typ + " could not be read.");
            return {true, {}, false};
        }
        if (*other == familyId) return {false, typ, false};
    }
    if (typs.size() != 1) return {};
    const std::string file = typs[0];
    const std::string fid = platform::textFromNumber(familyId);
    const std::optional<RegisteredFiles> registered = RegisteredFiles::read();
    const std::string owner = registered ? registered->otherOwner(file, ownKey) : std::string();
    if (!registered || !owner.empty()) {
        refuse("The TYP file " + file + " belongs to family ID " + platform::textFromNumber(*other) +
               ", not to " + fid + ", and " +
               (registered ? "is registered by " + owner + " too."
                           : "the registered mapsets could not be read to tell whether it is theirs.") +
               " Nothing was installed.");
        return {true, {}, false};
    }
    const int answer = platform::showMessage(
        kInstallTitle,
        "The TYP file " + file + " belongs to family ID " + platform::textFromNumber(*other) +
            ", not to " + fid + ". Give it the family ID " + fid + "? A copy is kept as " + file +
            ".bak.",
        platform::kMessageQuestionYesNoCancel);
    if (answer == platform::kAnswerCancel) return {true, {}, false};
    return {false, file, answer == platform::kAnswerYes, *other};
}

void selectInstalledRow(const std::string& keyName)
{
    for (int slot = 1; slot <= mapsetCount; ++slot) {
        const InstalledMapset& row = installedMapsets[slot];
        if (row.branch == kFamiliesBranch && sameIgnoringCase(row.keyName, keyName)) {
            platform::setControlState(kMainList, slot - 1);
            return;
        }
    }
}

bool isIndexFile(const std::string& path)
{
    return path.size() > 4 && sameIgnoringCase(path.substr(path.size() - 4), ".tdb") &&
           platform::fileSize(path) >= 0;
}

// The name that the mapset is registered under: the .TDB's family name, else its series name,
// both kept in the ANSI code page.
std::string mapsetNameOf(const mapfile::TdbIndex& index)
{
    return platform::textFromAnsi(!index.familyName.empty() ? index.familyName : index.seriesName);
}

// MapSource takes neither 0 nor 65535 for a family ID.
bool isUsableFamilyId(std::uint16_t familyId) { return familyId != 0 && familyId != 0xFFFF; }

// The install registers the files where they lie, so only a move of the folder can shorten them.
void refuseUnstorablePath(const std::string& path)
{
    refuse(unstorablePathText(path) + " Please move the mapset to a folder with a shorter path.");
}

// Gives the TYP file the mapset's family ID as Fix TYP Family ID does, its copy kept as TYP.bak;
// a copy made for a stamp that then failed goes again, since nothing changed.
bool stampTyp(const TypChoice& typ, std::uint16_t familyId, bool copyWasThere)
{
    if (mapfile::typLayout(typ.path) == mapfile::TypLayout::Other) {
        refuse(typ.path + " is not a TYP file, so it was not changed. Nothing was installed.");
        return false;
    }
    if (!mapfile::keepTypCopy(typ.path)) {
        refuse("No copy of " + typ.path + " could be saved, so it was not changed. Nothing was "
               "installed.");
        return false;
    }
    if (mapfile::writeValueAtOffset(typ.path, mapfile::kTypFamilyIdPosition + 1, 0, familyId, "",
                                    "Word") == 1)
        return true;
    // A write that stopped half-way leaves the copy as the only original.
    if (mapfile::readHeaderWord(typ.path, mapfile::kTypFamilyIdPosition) != typ.oldId) {
        refuse("The family ID could not be written into " + typ.path + ". Its copy is " +
               typ.path + ".bak.");
        return false;
    }
    if (!copyWasThere) platform::deleteFile(typ.path + ".bak");
    refuse("The family ID could not be written into " + typ.path + ". Nothing was installed.");
    return false;
}

// Gives the stamped TYP its family ID back after a failed install, and takes away the copy that the
// stamp made; the empty text then, else what is left.
std::string unstampText(const TypChoice& typ, bool copyWasThere)
{
    if (mapfile::writeValueAtOffset(typ.path, mapfile::kTypFamilyIdPosition + 1, 0, typ.oldId, "",
                                    "Word") != 1)
        return " The TYP file " + typ.path + " keeps the new family ID; its copy is " + typ.path +
               ".bak.";
    if (!copyWasThere) platform::deleteFile(typ.path + ".bak");
    return {};
}

} // namespace

std::string missingMapsText(const std::string& folder, const std::vector<std::uint32_t>& numbers,
                            const std::function<bool(const std::string& map)>& present)
{
    int missing = 0;
    std::string first;
    for (const std::uint32_t number : numbers) {
        if (present(mapfile::mapFileName(number))) continue;
        if (missing++ == 0) first = mapfile::mapFileName(number);
    }
    if (missing == 0) return {};
    return folder + " lacks " + platform::textFromNumber(missing) + " of the mapset's " +
           platform::textFromNumber(static_cast<std::int32_t>(numbers.size())) +
           " maps, the first being " + first + ".";
}

bool installMapset(const std::string& tdbPath)
{
    const std::optional<mapfile::TdbIndex> index =
        mapfile::readTdbIndex(tdbPath, mapfile::CutShortTdb::keepWhatWasRead);
    const std::string name = index ? mapsetNameOf(*index) : std::string();
    if (name.empty()) {
        refuse(tdbPath + " is not a mapset index file.");
        return false;
    }
    if (!isUsableMapsetName(name)) {
        refuse(tdbPath + " holds the mapset name \"" + name +
               "\"; MapSource's registry takes names of 1 to 255 characters without a backslash "
               "or a blank at either end.");
        return false;
    }
    const std::string fid = platform::textFromNumber(index->familyId);
    if (!isUsableFamilyId(index->familyId)) {
        refuse(tdbPath + " holds family ID " + fid + "; MapSource reads family IDs 1 to 65534.");
        return false;
    }
    const std::string folder = folderOf(tdbPath);
    const FolderFiles files(folder);
    const std::string base = withoutExtension(platform::getFilePart(tdbPath));
    const std::string overview = files.find(base + ".img");
    if (overview.empty()) {
        refuse("The overview map " + base + ".img is missing beside " + tdbPath + ".");
        return false;
    }
    const auto present = [&](const std::string& map) { return !files.find(map).empty(); };
    if (const std::string lack = missingMapsText(folder, index->mapNumbers, present);
        !lack.empty()) {
        refuse(lack);
        return false;
    }
    FamilyEntry entry;
    entry.keyName = name;
    entry.familyId = index->familyId;
    entry.productKey = platform::textFromNumber(index->productId);
    entry.loc = folder;
    entry.bmap = overview;
    const std::string tdbOnDisk = files.find(platform::getFilePart(tdbPath));
    entry.tdb = tdbOnDisk.empty() ? joinPath(folder, platform::getFilePart(tdbPath)) : tdbOnDisk;
    entry.idx = files.find(base + ".mdx");
    entry.mdr = files.find(base + "_mdr.img");
    if (const std::string path = firstUnstorablePath(entry); !path.empty()) {
        refuseUnstorablePath(path);
        return false;
    }
    // The family of the same name does not count: it is the one an update replaces. An ID that
    // could not be read may be this one.
    bool usesRead = true;
    const std::vector<FamilyIdUse> uses = familyIdUses(&usesRead);
    if (!usesRead) {
        refuse("The registered mapsets could not be read, so mapset " + name +
               " was not installed.");
        return false;
    }
    if (const auto user = familyIdHolder(index->familyId, name, uses)) {
        const std::string usedBy =
            "Family ID " + fid + " of mapset " + name + " is already used by ";
        refuse(user->bundle ? usedBy + "the BaseCamp bundle " + user->key + "."
                            : usedBy + "mapset " + user->key +
                                  ". Change the family ID of one of them with Edit first.");
        return false;
    }
    const ExistingFamily existing = findExistingFamily(name);
    // The same files registered twice would be two mapsets that a rename or uninstall of either
    // breaks for the other; the family that this one replaces does not count.
    const std::optional<RegisteredFiles> registered = RegisteredFiles::read();
    if (!registered) {
        refuse("The registered mapsets could not be read, so mapset " + name +
               " was not installed.");
        return false;
    }
    const std::string ownKey =
        relativeKeyPath(kFamiliesBranch, existing.keyName.empty() ? name : existing.keyName);
    for (const std::string* file : {&entry.tdb, &entry.bmap, &entry.idx, &entry.mdr}) {
        if (file->empty()) continue;
        if (const std::string owner = registered->otherOwner(*file, ownKey); !owner.empty()) {
            refuse("Mapset " + name + " is already installed as " + owner + " (" + *file + ").");
            return false;
        }
    }
    if (!existing.keyName.empty() &&
        !confirmed("Mapset " + name + " is already installed (" +
                   relativeKeyPath(kFamiliesBranch, existing.keyName) +
                   "). Replace its registry entry? Its files stay where they are."))
        return false;
    const TypChoice typ = chooseTyp(files, index->familyId, ownKey);
    if (typ.cancelled) return false;
    if (!isStorablePath(typ.path)) {
        refuseUnstorablePath(typ.path);
        return false;
    }
    if (!confirmed("Install mapset " + name + " (family ID " + fid + ") from " + folder + "?"))
        return false;

    // A copy that is there already is the original of an earlier stamp and stays; the listing
    // read it before anything was changed.
    const bool copyWasThere =
        typ.stamp && !files.find(platform::getFilePart(typ.path) + ".bak").empty();
    if (typ.stamp && !stampTyp(typ, index->familyId, copyWasThere)) return false;
    entry.typ = typ.path;
    if (const std::string failure = writeFamilyEntry(entry, existing, kInstallTitle);
        !failure.empty()) {
        refuse(failure + (typ.stamp ? unstampText(typ, copyWasThere) : std::string()));
        return false;
    }
    platform::showMessage(kInstallTitle, "Mapset Installed.", platform::kMessageInfo);
    scanInstalledMapsets();
    selectInstalledRow(name);
    return true;
}

void installMapsetFromDialog()
{
    const std::string tdb = platform::chooseOpenFile(kInstallTitle, "", "Mapset index (*.tdb)|*.TDB",
                                                     0, 0);
    if (!tdb.empty()) installMapset(tdb);
}

IndexAtPath mapsetIndexAt(const std::string& path)
{
    if (isIndexFile(path)) return {path, {}};
    if (platform::fileSize(path) != platform::kIsFolder) return {};
    std::vector<std::string> indexes = platform::listFiles(path, "*.tdb");
    if (indexes.size() == 1) return {joinPath(path, indexes[0]), {}};
    if (indexes.empty()) return {};
    std::sort(indexes.begin(), indexes.end());
    std::string names;
    for (const std::string& index : indexes) names += (names.empty() ? "" : ", ") + index;
    return {{}, storedFolder(path) + " holds several mapset index files: " + names +
                    ". Please choose one."};
}

bool installMapsetAt(const std::string& path)
{
    const IndexAtPath found = mapsetIndexAt(path);
    if (!found.refusal.empty()) {
        refuse(found.refusal);
        return false;
    }
    // Anything else is refused by the install as no mapset index.
    return installMapset(found.index.empty() ? path : found.index);
}

void installDroppedMapsets(const std::vector<std::string>& paths)
{
    bool other = false;
    for (const std::string& path : paths) {
        const IndexAtPath found = mapsetIndexAt(path);
        if (!found.index.empty())
            installMapset(found.index);
        else if (!found.refusal.empty())
            refuse(found.refusal);
        else
            other = true;
    }
    if (other) refuse("Please drop a mapset index file (.TDB) or a folder that holds one.");
}

} // namespace oxlo::catalogue
