// .reg files read back as regedit imports them, written here from regedit's documented format and
// not from Oxlo's writer: "Windows Registry Editor Version 5.00", UTF-16LE with its byte-order
// mark; [-KEY] deletes a key with everything below it, [KEY] creates it; "name" or @ for the
// default value, = then "text", dword:8 hex digits, hex:bytes or hex(N):bytes, or - to delete the
// value; a line ending in "\" goes on in the next line.
#pragma once

#include "support/registry_snapshot.h"

#include <optional>
#include <string>

namespace oxlo::testing {

// Applies the file to `state` (keys below HKLM, named without WOW6432Node as the program names
// them) and gives the first key the file names; nothing, leaving `state` in part changed, when the
// file is not such a file.
std::optional<std::string> importRegFile(const std::string& fileBytes, RegistrySnapshot& state);

} // namespace oxlo::testing
