// The build with mkgmap: the command line of mkgmap.jar and the files it must leave.
#pragma once

#include "builder/mapset_build.h"

#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::builder {

// The number of the overview map: eight digits from the family ID (6001 gives 60010000), so that
// it differs between mapsets and never takes a map's own number in the usual ranges.
std::int32_t overviewMapNumber(std::int32_t familyId);

// One argument of a Windows command line: in double quotes, with the backslashes before the
// closing quote doubled so that a folder ending in "\" does not swallow the quote.
std::string quotedArgument(const std::string& text);

// What java.exe is given to run mkgmap.jar (`jar`) on the maps copied into the mapset folder D,
// the maps named in the argument file `argumentFile` (see mkgmapArgumentLines):
//   -Dfile.encoding=UTF-8 -jar "JAR" --output-dir="D" --family-id=FID --product-id=1
//   --family-name="NAME" --series-name="NAME" --area-name="NAME" --overview-mapname="NAME"
//   --overview-mapnumber=N --tdbfile --index -c "ARGUMENTS"
// The file encoding makes Java before version 18 read the argument file as UTF-8.
std::string mkgmapParameters(const std::string& jar, const MapsetBuildRequest& request,
                             const std::string& argumentFile);
// mkgmap's parameters for a BaseCamp bundle (--gmapi) of family `familyId` named `name`, made in
// the work folder `workFolder` from the maps and TYP that `argumentFile` lists. Java reads the
// argument file as UTF-8, as for a build.
std::string bundleParameters(const std::string& jar, const std::string& workFolder,
                             std::int32_t familyId, const std::string& name,
                             const std::string& argumentFile);

// The lines of mkgmap's argument file (-c), which lies in D: "input-file: FILE" for each map, with
// FILE its copy's name in D, since mkgmap takes such a name relative to the argument file. A line
// holds the value to its end, blanks included, and without quotes. A command line of thousands of
// maps in a long folder would pass the 32,767 characters that Windows allows.
std::vector<std::string> mkgmapArgumentLines(const MapsetBuildRequest& request);

// The files a build with mkgmap leaves in D: the mapset index and the overview map, which must
// both be written for a success, and the two files of the address search index.
struct MkgmapOutputs {
    std::string index, overview, searchIndex, searchMaps;
};
MkgmapOutputs mkgmapOutputs(const MapsetBuildRequest& request);

// Copies the maps into D and runs mkgmap.jar on the copies, every name it writes guarded by
// `written`. Built when Java ended with status 0 and this run wrote both the mapset index and the
// overview map; the search index counts when it wrote both of its files. When Java cannot be
// started it says so itself (Compilation::told).
Compilation compileWithMkgmap(const MapsetBuildRequest& request, EarlierOutputs& written);

} // namespace oxlo::builder
