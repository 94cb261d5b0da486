// Names drawn from the alphabets that break mapset managers: blanks at either end, the characters
// Windows forbids in file names, "." and "..", trailing dots, 200 to 300 characters, Cyrillic,
// Japanese whose Shift-JIS form ends in 0x5C, combining marks, full-width letters, "ß", Turkish
// "ı", and names that code page 1252 holds but ASCII does not.
#pragma once

#include "generated/random_source.h"

#include <string>

namespace oxlo::generated {

// A mapset name as a user might type one, often one that cannot be taken.
std::string hostileMapsetName(RandomSource& random);
// A folder name that a file system takes (no forbidden character, no blank or dot at its end),
// still far from plain ASCII.
std::string hostileFolderName(RandomSource& random);
// The same name in other letter case (ASCII and the Latin-1, Cyrillic letters it knows).
std::string otherLetterCase(const std::string& name);

} // namespace oxlo::generated
