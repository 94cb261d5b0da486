// The check of a GPS map file that mkgmap wrote: its directory must hold every map given (each
// map's TRE subfile, or GMP for a map of the newer layout) and every TYP file, since mkgmap skips
// a map whose subfiles' names it has already added with only a warning and exit status 0.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace oxlo::builder {

// What is missing from the GPS map file `made`, which is to be saved as `file`, of `maps` (full
// paths) and of `typCount` TYP files of names of their own: "mkgmap left N of the M maps out of
// FILE, the first being NUMBER.img. Nothing was saved.", or the like for the TYP files; empty
// when all of them are in it. A file whose directory cannot be read holds none of them.
std::string leftOutOfGpsFile(const std::string& made, const std::string& file,
                             const std::vector<std::string>& maps, std::size_t typCount);

} // namespace oxlo::builder
