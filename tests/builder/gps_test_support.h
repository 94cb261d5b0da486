// The mapsets that the tests of Save for GPS save: copies of tests/data/ready (Hills 6005 with
// hills.typ, Dales 6006 with a TYP of family 6099, Oesterreich 6008 without one) in a test
// folder, as catalogue rows.
#pragma once

#include "builder/build_progress.h"
#include "catalogue/installed_mapsets.h"

#include <string>
#include <vector>

namespace oxlo::testing {

// Copies tests/data/ready/NAME into `folder` and gives its catalogue row (family `id`, TYP file
// `typ` in its folder or none).
catalogue::InstalledMapset readyMapset(const std::string& folder, const std::string& name,
                                       std::int32_t id, const std::string& typ);
// The catalogue row of family `name` (`id`) in folder `loc`, its index NAME.tdb there.
catalogue::InstalledMapset familyRowIn(const std::string& loc, const std::string& name,
                                       std::int32_t id);
// Sets the catalogue to `rows` (slots 1, 2, ...).
void setGpsCatalogue(const std::vector<catalogue::InstalledMapset>& rows);
// Writes the 16-bit `value` little-endian at `position` of the file.
void patchWord(const std::string& windowsPath, std::size_t position, std::uint16_t value);
// The entries of a folder, by name.
std::vector<std::string> folderContent(const std::string& windowsPath);
// "NAME.TYPE" of each subfile the IMG file's directory lists; "(none)" when it cannot be read.
std::vector<std::string> subfilesOf(const std::string& windowsPath);

class SilentProgress final : public builder::BuildProgress {
public:
    void show(const std::string&) override {}
    void stepDone() override {}
};

} // namespace oxlo::testing
