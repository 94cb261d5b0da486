#include "generated/collection.h"

#include "generated/hostile_names.h"

#include "catalogue/name_rules.h"
#include "mapfile/typ_file.h"
#include "platform/portable/memory_registry.h"
#include "platform/services.h"
#include "platform/shell_folders.h"
#include "support/file_bytes.h"
#include "support/registry_access.h"
#include "support/test_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace oxlo::generated {
namespace {

namespace fs = std::filesystem;
using testing::hostPath;

const fs::path kData = OXLO_TEST_DATA;
constexpr const char* kBundleSource = "Test Fam.gmap";

struct SourceFiles {
    std::string index;    // NAME.tdb
    std::string overview; // NAME.img
    std::string typ;      // *.typ, or empty
    bool searchIndex = false;
    int familyId = 0;
};

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

SourceFiles filesOf(const std::string& source)
{
    SourceFiles files;
    for (const auto& entry : fs::directory_iterator(kData / "ready" / source)) {
        const std::string name = testing::textOfPath(entry.path().filename());
        if (lower(name).ends_with(".tdb")) files.index = name;
        if (lower(name).ends_with(".typ")) files.typ = name;
        if (lower(name).ends_with(".mdx")) files.searchIndex = true;
    }
    files.overview = files.index.substr(0, files.index.size() - 4) + ".img";
    const std::string bytes = *testing::readWholeFile(kData / "ready" / source / files.index);
    files.familyId = static_cast<unsigned char>(bytes[5]) | static_cast<unsigned char>(bytes[6]) << 8;
    return files;
}

std::vector<std::string> readySources()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kData / "ready"))
        names.push_back(testing::textOfPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

void writeBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

void patchWord(const fs::path& file, std::size_t position, int value)
{
    auto bytes = testing::readWholeFile(file);
    if (!bytes || bytes->size() < position + 2) return;
    (*bytes)[position] = static_cast<char>(value & 0xFF);
    (*bytes)[position + 1] = static_cast<char>((value >> 8) & 0xFF);
    writeBytes(file, *bytes);
}

void damage(const fs::path& folder, const SourceFiles& files, Damage kind)
{
    const fs::path index = folder / files.index;
    switch (kind) {
    case Damage::None: return;
    case Damage::CutShort: {
        const auto bytes = testing::readWholeFile(index);
        writeBytes(index, bytes->substr(0, 6));
        return;
    }
    case Damage::ZeroBytes: writeBytes(folder / files.overview, ""); return;
    case Damage::ForeignFamilyId: patchWord(index, 5, 4321); return;
    case Damage::ForeignTyp:
        if (!files.typ.empty()) patchWord(folder / files.typ, mapfile::kTypFamilyIdPosition, 4321);
        return;
    case Damage::FolderForFile:
        fs::remove(folder / files.overview);
        fs::create_directory(folder / files.overview);
        return;
    }
}

// Copies a ready mapset into `folder` with the family ID and product code given.
void layFiles(const PlannedMapset& mapset, const SourceFiles& files)
{
    const fs::path folder = hostPath(mapset.folder);
    fs::create_directories(folder);
    fs::copy(kData / "ready" / mapset.source, folder,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    patchWord(folder / files.index, 5, mapset.familyId);
    if (mapset.productCode != 0) patchWord(folder / files.index, 3, mapset.productCode);
    if (!files.typ.empty())
        patchWord(folder / files.typ, mapfile::kTypFamilyIdPosition, mapset.familyId);
    damage(folder, files, mapset.damage);
}

std::vector<unsigned char> wordBytes(int value)
{
    return {static_cast<unsigned char>(value & 0xFF), static_cast<unsigned char>(value >> 8)};
}

void registerMapset(const PlannedMapset& mapset, const SourceFiles& files)
{
    using catalogue::joinPath;
    const std::string loc = catalogue::storedFolder(mapset.folder);
    std::string key;
    if (mapset.kind == EntryKind::Family) {
        key = std::string(testing::kMapsourceFamilies) + "\\" + mapset.keyName;
        testing::putValue(key, "ID", 3, wordBytes(mapset.familyId));
        const std::string typ =
            !mapset.sharedTyp.empty() ? mapset.sharedTyp
            : files.typ.empty()       ? std::string()
                                      : joinPath(loc, files.typ);
        if (!typ.empty()) testing::putText(key, "TYP", typ);
        const std::string stem = files.index.substr(0, files.index.size() - 4);
        if (files.searchIndex) {
            testing::putText(key, "IDX", joinPath(loc, stem + ".mdx"));
            testing::putText(key, "MDR", joinPath(loc, stem + "_mdr.img"));
        }
        key += "\\1";
    } else {
        key = std::string(testing::kMapsourceProducts) + "\\" + mapset.keyName;
    }
    testing::putText(key, "LOC", loc);
    testing::putText(key, "TDB", joinPath(loc, files.index));
    testing::putText(key, "BMAP", joinPath(loc, files.overview));
}

void layBundle(const PlannedMapset& mapset)
{
    const fs::path folder = hostPath(mapset.folder);
    fs::create_directories(folder.parent_path());
    fs::copy(kData / "bundles" / kBundleSource, folder, fs::copy_options::recursive);
    std::string info = *testing::readWholeFile(folder / "Info.xml");
    const std::string id = "<ID>4711</ID>";
    info.replace(info.find(id), id.size(), "<ID>" + std::to_string(mapset.familyId) + "</ID>");
    writeBytes(folder / "Info.xml", info);
    patchWord(folder / "Product1" / "Test Fam.tdb", 5, mapset.familyId);
    patchWord(folder / "xvillage.typ", mapfile::kTypFamilyIdPosition, mapset.familyId);
}

std::string kindName(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Family: return "family";
    case EntryKind::NumericProduct: return "product";
    case EntryKind::OldProduct: return "old-form product";
    case EntryKind::Bundle: return "bundle";
    case EntryKind::Download: return "download";
    }
    return "?";
}

std::string damageName(Damage kind)
{
    switch (kind) {
    case Damage::None: return "";
    case Damage::CutShort: return ", index cut short";
    case Damage::ZeroBytes: return ", overview map of zero bytes";
    case Damage::ForeignFamilyId: return ", index of family 4321";
    case Damage::ForeignTyp: return ", TYP of family 4321";
    case Damage::FolderForFile: return ", a folder where the overview map should be";
    }
    return "";
}

bool sameFolderAndSource(const PlannedMapset& a, const PlannedMapset& b)
{
    return a.source == b.source && platform::sameTextIgnoringCase(a.folder, b.folder);
}

// The folder of a registered mapset: the shapes collections really have.
std::string folderFor(RandomSource& random, const std::string& root,
                      const std::vector<PlannedMapset>& earlier, bool& driveRootTaken)
{
    std::vector<const PlannedMapset*> laid;
    for (const auto& mapset : earlier)
        if (!mapset.folderGone && mapset.kind != EntryKind::Bundle &&
            mapset.kind != EntryKind::Download)
            laid.push_back(&mapset);
    const int shape = random.below(100);
    if (shape < 15 && !laid.empty()) return random.pick(laid)->folder; // several in one folder
    if (shape < 25 && !laid.empty())
        return random.pick(laid)->folder + "\\" + hostileFolderName(random); // inside another's
    if (shape < 30 && !driveRootTaken) {
        driveRootTaken = true;
        return "E:";
    }
    return root + "\\" + hostileFolderName(random) + " " + std::to_string(earlier.size());
}

} // namespace

std::vector<std::string> bundleFolders()
{
    return {platform::knownFolderPath(platform::KnownFolder::ProgramData) + "\\Garmin\\Maps",
            platform::knownFolderPath(platform::KnownFolder::RoamingAppData) + "\\Garmin\\Maps"};
}

Collection planCollection(RandomSource& random, const std::string& root)
{
    Collection collection;
    collection.root = root;
    auto& mapsets = collection.mapsets;
    const std::vector<std::string> sources = readySources();
    std::map<std::string, SourceFiles> files;
    for (const auto& source : sources) files[source] = filesOf(source);
    bool driveRootTaken = false;
    std::vector<int> usedIds;
    const int registered = random.between(1, 4);
    for (int i = 0; i < registered; ++i) {
        PlannedMapset mapset;
        const int kind = random.below(100);
        mapset.kind = kind < 75   ? EntryKind::Family
                      : kind < 90 ? EntryKind::NumericProduct
                                  : EntryKind::OldProduct;
        mapset.source = random.pick(sources);
        mapset.folder = folderFor(random, root, mapsets, driveRootTaken);
        // Two mapsets of one source in one folder would be one set of files.
        for (const auto& other : mapsets)
            if (sameFolderAndSource(other, mapset))
                mapset.folder += "\\" + std::to_string(i);
        mapset.folderGone = random.percent(10);
        mapset.familyId = files[mapset.source].familyId;
        if (random.percent(50) || std::count(usedIds.begin(), usedIds.end(), mapset.familyId) != 0)
            mapset.familyId = random.percent(10) && !usedIds.empty() ? random.pick(usedIds)
                                                                     : 6100 + 10 * i;
        usedIds.push_back(mapset.familyId);
        if (mapset.kind == EntryKind::Family) {
            // Windows keeps key names of up to 255 characters, without a backslash; names that
            // differ only in letter case name one key (twins come with Create and rename).
            // Mostly named as its files are, as Create and Install name families.
            const std::string& index = files[mapset.source].index;
            mapset.keyName = random.percent(50) ? index.substr(0, index.size() - 4)
                                                : hostileMapsetName(random);
            bool taken = false;
            for (const auto& other : mapsets)
                taken = taken || platform::sameTextIgnoringCase(other.keyName, mapset.keyName);
            if (mapset.keyName.find('\\') != std::string::npos || mapset.keyName.empty() ||
                mapset.keyName.size() > 255 || taken || random.percent(15))
                mapset.keyName = mapset.source + " " + std::to_string(i);
            if (!files[mapset.source].typ.empty() && random.percent(50))
                for (const auto& other : mapsets)
                    if (other.kind == EntryKind::Family && !files[other.source].typ.empty())
                        mapset.sharedTyp = catalogue::joinPath(
                            catalogue::storedFolder(other.folder), files[other.source].typ);
        } else {
            mapset.productCode = 100 + 10 * i + random.below(10);
            // An old-form product is keyed by its overview map's name, as MapSource had it.
            const std::string& index = files[mapset.source].index;
            mapset.keyName = mapset.kind == EntryKind::NumericProduct
                                 ? std::to_string(mapset.productCode)
                                 : index.substr(0, index.size() - 4);
        }
        if (random.percent(10)) mapset.damage = static_cast<Damage>(random.between(1, 5));
        mapsets.push_back(mapset);
    }
    const int bundles = random.below(3);
    for (int i = 0; i < bundles; ++i) {
        PlannedMapset bundle;
        bundle.kind = EntryKind::Bundle;
        bundle.source = kBundleSource;
        bundle.keyName = hostileFolderName(random) + " " + std::to_string(i) + ".gmap";
        bundle.folder = bundleFolders()[static_cast<std::size_t>(random.below(2))] + "\\" +
                        bundle.keyName;
        // Family IDs shared between the registry, or a download, and a bundle.
        bundle.familyId = random.percent(40) ? files[random.pick(sources)].familyId
                          : random.percent(30) && !usedIds.empty() ? random.pick(usedIds)
                                                                   : 4711 + i;
        mapsets.push_back(bundle);
    }
    const int downloads = random.between(1, 3);
    for (int i = 0; i < downloads; ++i) {
        PlannedMapset download;
        download.kind = EntryKind::Download;
        download.source = random.pick(sources);
        download.keyName = hostileFolderName(random) + " dl" + std::to_string(i);
        download.folder = root + "\\downloads\\" + download.keyName;
        download.familyId = files[download.source].familyId;
        if (random.percent(30)) download.damage = static_cast<Damage>(random.between(1, 5));
        mapsets.push_back(download);
    }
    // Maps of one file name in two folders, and a few others.
    collection.looseMaps = {root + "\\loose\\a\\63240001.img", root + "\\loose\\b\\63240001.img",
                            root + "\\loose\\a\\63240002.img"};
    collection.gpsFile = root + "\\gps\\gmapsupp.img";
    return collection;
}

void layCollection(const Collection& collection)
{
    platform::memory_registry::reset();
    // Create's automatic mode builds below C:\Garmin.
    for (const std::string& folder : {collection.root, std::string("E:"),
                                      std::string("C:\\$Recycle.Bin"), std::string("C:\\Garmin")})
        fs::remove_all(hostPath(folder));
    for (const std::string& folder : bundleFolders()) fs::remove_all(hostPath(folder));
    fs::remove_all(testing::trashFolder());
    fs::remove_all(hostPath(platform::localAppDataFolder() + "\\Oxlo"));
    fs::create_directories(hostPath(collection.root));
    fs::create_directories(hostPath("E:\\"));
    for (const auto& mapset : collection.mapsets) {
        if (mapset.kind == EntryKind::Bundle) {
            layBundle(mapset);
            continue;
        }
        const SourceFiles files = filesOf(mapset.source);
        if (!mapset.folderGone) layFiles(mapset, files);
        if (mapset.kind != EntryKind::Download) registerMapset(mapset, files);
    }
    const std::vector<std::string> sources = {"village-opaque.img", "village-transparent.img",
                                              "village-priority200.img"};
    for (std::size_t i = 0; i < collection.looseMaps.size(); ++i) {
        const fs::path map = hostPath(collection.looseMaps[i]);
        fs::create_directories(map.parent_path());
        fs::copy_file(kData / sources[i % sources.size()], map);
    }
    const fs::path gps = hostPath(collection.gpsFile);
    fs::create_directories(gps.parent_path());
    fs::copy_file(kData / sources[0], gps);
}

std::string describeCollection(const Collection& collection)
{
    std::string text;
    for (const auto& mapset : collection.mapsets) {
        text += "  " + kindName(mapset.kind) + " \"" + mapset.keyName + "\" from " +
                mapset.source + " in " + mapset.folder + ", family " +
                std::to_string(mapset.familyId);
        if (mapset.productCode != 0) text += ", code " + std::to_string(mapset.productCode);
        if (!mapset.sharedTyp.empty()) text += ", TYP " + mapset.sharedTyp;
        if (mapset.folderGone) text += ", folder gone";
        text += damageName(mapset.damage) + "\n";
    }
    return text;
}

} // namespace oxlo::generated
