#include "catalogue/registered_files.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/catalogue_registry.h"
#include "catalogue/entry_paths.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "catalogue/registry_layout.h"
#include "catalogue/registry_tree.h"
#include "platform/services.h"

#include <cstring>

namespace oxlo::catalogue {
namespace {

// The branch key with every entry in it; an empty one when the branch is not there at all.
std::optional<RegistryTree> readBranch(const char* branchKey)
{
    const std::string path(branchKey, std::strlen(branchKey) - 1);
    if (registryKeyPresence(path) == KeyPresence::Absent) return RegistryTree{};
    return readRegistryTree(kCatalogueRoot, path);
}

} // namespace

std::optional<RegisteredFiles> RegisteredFiles::read()
{
    RegisteredFiles registered;
    for (const auto& [branchKey, branch] :
         {std::pair{kFamiliesKey, kFamiliesBranch}, std::pair{kProductsKey, kProductsBranch}}) {
        const std::optional<RegistryTree> tree = readBranch(branchKey);
        if (!tree) return std::nullopt;
        for (const auto& [name, entry] : tree->subkeys)
            for (const EntryPath& path : entryPaths(entry))
                registered.files_.push_back({path.path, relativeKeyPath(branch, name),
                                             sameIgnoringCase(path.valueName, kValueLoc)});
    }
    bool bundlesListed = true;
    const std::vector<std::string> bundles = findBundleFolders(&bundlesListed);
    if (!bundlesListed) return std::nullopt;
    registered.bundleFolders_ = bundles;
    for (const std::string& folder : bundles) {
        InstalledMapset bundle;
        readBundle(bundle, folder);
        const std::string key = relativeKeyPath(kBundlesBranch, bundle.keyName);
        if (!bundle.typ.empty()) registered.files_.push_back({bundle.typ, key, false, true});
        for (const InstalledMapset::BundlePart& part : bundle.bundleParts)
            if (!part.tdb.empty()) registered.files_.push_back({part.tdb, key, false, true});
    }
    return registered;
}

std::string RegisteredFiles::otherOwner(const std::string& path, const std::string& ownKey) const
{
    for (const Registration& file : files_)
        if (!file.folder && !sameIgnoringCase(file.key, ownKey) && samePath(file.path, path))
            return file.key;
    return {};
}

std::string RegisteredFiles::folderOwner(const std::string& folder,
                                         const std::string& exceptKey) const
{
    for (const Registration& file : files_)
        if (file.folder && !sameIgnoringCase(file.key, exceptKey) &&
            (samePath(file.path, folder) || platform::sameFile(file.path, folder)))
            return file.key;
    return {};
}

std::string RegisteredFiles::registeredWithin(const std::string& folder) const
{
    const std::string outer = storedFolder(folder);
    for (const Registration& file : files_) {
        if (file.bundle) continue;
        for (std::string part = storedFolder(file.path); !part.empty();) {
            if (samePath(part, outer) || platform::sameFile(part, outer)) return file.key;
            const std::string parent = folderOf(part);
            part = samePath(parent, part) ? std::string() : parent;
        }
    }
    return {};
}

std::optional<std::string> registeredMapsetInFolder(const std::string& folder,
                                                    const std::string& exceptFamily)
{
    const std::optional<RegisteredFiles> registered = RegisteredFiles::read();
    if (!registered) return std::nullopt;
    const std::string owner = registered->folderOwner(
        folder, exceptFamily.empty() ? std::string() : relativeKeyPath(kFamiliesBranch, exceptFamily));
    return owner.empty() ? registered->bundleHolding(folder) : owner;
}

std::string RegisteredFiles::bundleHolding(const std::string& folder) const
{
    for (const std::string& bundle : bundleFolders_)
        for (std::string part = storedFolder(folder); !part.empty();) {
            if (samePath(part, bundle) || platform::sameFile(part, bundle))
                return relativeKeyPath(kBundlesBranch, platform::getFilePart(bundle));
            const std::string parent = folderOf(part);
            part = samePath(parent, part) ? std::string() : parent;
        }
    return {};
}

} // namespace oxlo::catalogue
