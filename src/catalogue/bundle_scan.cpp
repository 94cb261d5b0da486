#include "catalogue/bundle_scan.h"

#include "catalogue/bundle_info.h"
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

// A path relative to `base` as Info.xml writes it (either slash), or empty when none is named.
std::string joined(const std::string& base, std::string relative)
{
    if (relative.empty()) return {};
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return base + "\\" + relative;
}

} // namespace

std::vector<std::string> findBundleFolders()
{
    std::vector<std::string> folders;
    for (const platform::KnownFolder known :
         {platform::KnownFolder::ProgramData, platform::KnownFolder::RoamingAppData}) {
        const std::string root = platform::knownFolderPath(known);
        if (root.empty()) continue;
        const std::string maps = root + "\\Garmin\\Maps";
        std::vector<std::string> names = platform::listFolders(maps, std::string("*") + kBundleSuffix);
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return lowered(a) < lowered(b);
        });
        for (const std::string& name : names) {
            const std::string folder = maps + "\\" + name;
            if (platform::fileSize(folder + "\\" + kBundleInfoFile) >= 0) folders.push_back(folder);
        }
    }
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
        row.typ = joined(bundleFolder, info->typ);
        for (const BundleSubProduct& product : info->subProducts) {
            const std::string directory = joined(bundleFolder, product.directory);
            const std::string base = directory.empty() ? bundleFolder : directory;
            row.bundleParts.push_back({joined(base, product.tdb), joined(base, product.baseMap)});
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
