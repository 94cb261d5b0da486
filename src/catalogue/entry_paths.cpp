#include "catalogue/entry_paths.h"

#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"

#include <array>
#include <functional>

namespace oxlo::catalogue {
namespace {

constexpr std::array<const char*, 6> kPathValues = {kValueLoc, kValueTdb, kValueBmap,
                                                    kValueTyp, kValueIdx, kValueMdr};

// Calls `visit` with each path value of the key and its subkeys and the value's text.
void forEachPath(RegistryTree& tree,
                 const std::function<void(RegistryTreeValue&, const std::string&)>& visit)
{
    for (RegistryTreeValue& value : tree.values) {
        // A text kept as stored bytes is no UTF-8 path: it stays as it is.
        if (value.type != platform::kRegSz || value.stored || !isPathValue(value.name) ||
            value.bytes.empty())
            continue;
        visit(value, std::string(value.bytes.begin(), value.bytes.end() - 1));
    }
    for (auto& subkey : tree.subkeys) forEachPath(subkey.second, visit);
}

} // namespace

bool isPathValue(const std::string& name)
{
    for (const char* candidate : kPathValues)
        if (sameIgnoringCase(name, candidate)) return true;
    return false;
}

std::vector<EntryPath> entryPaths(const RegistryTree& tree)
{
    std::vector<EntryPath> paths;
    RegistryTree copy = tree;
    forEachPath(copy, [&](RegistryTreeValue& value, const std::string& text) {
        if (!text.empty()) paths.push_back({value.name, text});
    });
    return paths;
}

int movePathValues(RegistryTree& tree, const std::string& oldFolder, const std::string& newFolder)
{
    int moved = 0;
    forEachPath(tree, [&](RegistryTreeValue& value, const std::string& text) {
        if (const auto path = pathMovedTo(text, oldFolder, newFolder)) {
            value.bytes.assign(path->begin(), path->end());
            value.bytes.push_back(0);
            ++moved;
        }
    });
    return moved;
}

std::string firstUnstorablePath(const RegistryTree& tree)
{
    for (const EntryPath& found : entryPaths(tree))
        if (!isStorablePath(found.path)) return found.path;
    return {};
}

} // namespace oxlo::catalogue
