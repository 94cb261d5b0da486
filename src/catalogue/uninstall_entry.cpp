#include "catalogue/uninstall_entry.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"

namespace oxlo::catalogue {
namespace {

// A folder path ends where a file name, a quote, a blank or the text itself begins.
bool endsPath(const std::string& text, std::size_t at)
{
    return at == text.size() || text[at] == '\\' || text[at] == '"' || text[at] == ' ';
}

bool isText(const RegistryTreeValue& value)
{
    return (value.type == platform::kRegSz || value.type == platform::kRegExpandSz) &&
           !value.bytes.empty();
}

} // namespace

std::string folderMovedIn(const std::string& text, const std::string& oldFolder,
                          const std::string& newFolder)
{
    const std::string from = storedFolder(oldFolder);
    const std::string to = storedFolder(newFolder);
    if (from.empty()) return text;
    std::string result;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text.size() - at >= from.size() && endsPath(text, at + from.size()) &&
            sameIgnoringCase(text.substr(at, from.size()), from)) {
            result += to;
            at += from.size();
            continue;
        }
        result += text[at++];
    }
    return result;
}

UninstallEntry uninstallEntryRewrite(const std::string& oldFolder, const std::string& newFolder)
{
    // Read whole, so that an entry that could not be read is never taken for one that is not
    // there: it would keep naming the old folder.
    const std::optional<RegistryTree> entries = readRegistryTree(kCatalogueRoot, kWindowsUninstallKey);
    if (!entries) return {registryKeyPresence(kWindowsUninstallKey) == KeyPresence::Absent, {}};
    for (const auto& [name, entry] : entries->subkeys) {
        KeyRewrite rewrite{std::string(kWindowsUninstallKey) + "\\" + name, {}, {}};
        for (const RegistryTreeValue& value : entry.values) {
            if (!isText(value) || (!sameIgnoringCase(value.name, kValueInstallLocation) &&
                                   !sameIgnoringCase(value.name, kValueUninstallString)))
                continue;
            const std::string text(value.bytes.begin(), value.bytes.end() - 1);
            const std::string moved = folderMovedIn(text, oldFolder, newFolder);
            if (moved == text) continue;
            rewrite.oldTree.values.push_back(value);
            RegistryTreeValue changed = value;
            changed.bytes.assign(moved.begin(), moved.end());
            changed.bytes.push_back(0);
            rewrite.newTree.values.push_back(changed);
        }
        if (!rewrite.newTree.values.empty()) return {true, rewrite};
    }
    return {};
}

} // namespace oxlo::catalogue
