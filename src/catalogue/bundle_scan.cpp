#include "catalogue/bundle_scan.h"

#include "catalogue/bundle_info.h"
#include "catalogue/name_rules.h"
#include "catalogue/registry_layout.h"
#include "platform/services.h"
#include "platform/shell_folders.h"

#include <algorithm>
#include <cctype>

namespace oxlo::catalogue {
namespace {

constexpr const char* kBundleSuffix = ".gmap";

std::string lowered(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The full paths of the files that a bundle's Info.xml names, each relative to the bundle or to a
// folder in it; a path that leaves the bundle is noted in the row instead.
class BundlePaths {
public:
    explicit BundlePaths(InstalledMapset& row) : row_(row) {}
    // `relative` (either slash) below `base`; empty when none is named or it leaves the bundle.
    std::string inside(const std::string& base, std::string relative)
    {
        if (relative.empty()) return {};
        if (leavesFolder(relative)) {
            if (std::ranges::find(row_.outsideBundle, relative) == row_.outsideBundle.end())
                row_.outsideBundle.push_back(relative);
            return {};
        }
        std::replace(relative.begin(), relative.end(), '/', '\\');
        return joinPath(base, relative);
    }

private:
    InstalledMapset& row_;
};

} // namespace

std::vector<std::string> findBundleFolders(bool* complete)
{
    std::vector<std::string> folders;
    bool whole = true;
    for (const platform::KnownFolder known :
         {platform::KnownFolder::ProgramData, platform::KnownFolder::RoamingAppData}) {
        const std::string root = platform::knownFolderPath(known);
        if (root.empty()) {
            whole = false;
            continue;
        }
        const std::string maps = root + "\\Garmin\\Maps";
        bool listed = true;
        std::vector<std::string> names =
            platform::listFolders(maps, std::string("*") + kBundleSuffix, &listed);
        whole = whole && listed;
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return lowered(a) < lowered(b);
        });
        for (const std::string& name : names) {
            const std::string folder = maps + "\\" + name;
            // A folder of the bundles' name without Info.xml is no bundle; one that cannot be
            // looked into may be one.
            bool looked = true;
            if (!platform::listFiles(folder, kBundleInfoFile, &looked).empty()) folders.push_back(folder);
            whole = whole && looked;
        }
    }
    if (complete) *complete = whole;
    return folders;
}

void readBundle(InstalledMapset& row, const std::string& bundleFolder)
{
    row.keyName = platform::getFilePart(bundleFolder);
    row.branch = kBundlesBranch;
    row.form = kFormBundle;
    row.loc = bundleFolder;
    const std::optional<BundleInfo> info = readBundleInfo(bundleFolder);
    row.bundleInfoRead = info.has_value();
    if (info) {
        row.name = info->name;
        row.id = info->id;
        BundlePaths paths(row);
        row.typ = paths.inside(bundleFolder, info->typ);
        paths.inside(bundleFolder, info->idx);
        paths.inside(bundleFolder, info->mdr);
        for (const BundleSubProduct& product : info->subProducts) {
            const std::string directory = paths.inside(bundleFolder, product.directory);
            // Its files lie outside with their folder.
            if (directory.empty() && !product.directory.empty()) continue;
            const std::string base = directory.empty() ? bundleFolder : directory;
            row.bundleParts.push_back(
                {paths.inside(base, product.tdb), paths.inside(base, product.baseMap)});
        }
        if (!row.bundleParts.empty()) row.tdb = row.bundleParts.front().tdb;
    }
    if (row.name.empty()) {
        row.name = row.keyName;
        const std::size_t suffix = std::char_traits<char>::length(kBundleSuffix);
        if (row.name.size() > suffix &&
            lowered(row.name.substr(row.name.size() - suffix)) == kBundleSuffix)
            row.name.resize(row.name.size() - suffix);
    }
}

bool isBundle(const InstalledMapset& row) { return row.form == kFormBundle; }

} // namespace oxlo::catalogue
