// Which catalogue entries name a file as theirs. A command for one mapset must neither change nor
// remove a file that another entry registers too: a TYP file that two families name, an index in
// the folder of another mapset.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace oxlo::catalogue {

class RegisteredFiles {
public:
    // Every file named by a key below Families or Products (entry_paths.h; LOC is a folder), read
    // from the registry whole so that entries past the hundred rows of the list count too, and
    // the TYP and index files that each BaseCamp bundle's Info.xml names. Nothing when either
    // branch or the bundles cannot be read whole: a file could then belong to the entry that was
    // not read.
    static std::optional<RegisteredFiles> read();

    // The entry other than `ownKey` ("Families\Alps", letter case aside) that registers `path`,
    // as the user reads it ("Families\Topo", "Products\160", "Maps\Alps.gmap"); empty when none.
    std::string otherOwner(const std::string& path, const std::string& ownKey) const;

    // The registry entry one of whose files or whose folder is `folder` or lies inside it, as the
    // user reads it; empty when none. Bundles are not looked at: this asks whether a folder is a
    // bundle's alone.
    std::string registeredWithin(const std::string& folder) const;

    // The BaseCamp bundle ("Maps\Alps.gmap") whose folder is `folder` or holds it; empty when
    // none does. Every file in there is the bundle's, whatever its Info.xml names.
    std::string bundleHolding(const std::string& folder) const;
    // The entry other than `exceptKey` registered with `folder` as its folder (LOC); empty when none.
    std::string folderOwner(const std::string& folder, const std::string& exceptKey) const;

private:
    struct Registration {
        std::string path;
        std::string key;
        bool folder = false; // a LOC value: no file of its own
        bool bundle = false;
    };
    std::vector<Registration> files_;
    std::vector<std::string> bundleFolders_;
};

// The first mapset registered with `folder` as its folder (LOC), as "Families\B" or
// "Products\150", else the bundle whose folder holds it (bundleHolding); empty when none, nothing
// when the registry or the bundles could not be read whole. Every key counts, also those past the
// hundred rows the list shows. The folder counts in any spelling: letter case and backslashes
// aside (samePath), or as the same folder by identity. The family named `exceptFamily` (letter
// case aside) is passed over.
std::optional<std::string> registeredMapsetInFolder(const std::string& folder,
                                                    const std::string& exceptFamily = {});

} // namespace oxlo::catalogue
