// Reads the .reg files that Oxlo writes as regedit imports them, so that a native test can take a
// file back into values without a regedit: "..." texts, dword:, hex: and hex(N): with their
// continuation lines; [-KEY] lines are passed over.
#pragma once

#include <map>
#include <string>

namespace oxlo::testing {

// Key path as the file names it (after "HKEY_LOCAL_MACHINE\"), then value name ("" for @), then
// "TYPE:" and the bytes the registry would hold (texts in UTF-16LE). Empty when the file has no
// byte-order mark or a line it cannot read (a failure of the test says which).
using RegFileValues = std::map<std::string, std::map<std::string, std::string>>;
RegFileValues readRegFile(const std::string& fileBytes);

} // namespace oxlo::testing
