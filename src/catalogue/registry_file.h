// Registry keys as .reg files that regedit imports back (double-click, or `regedit /s FILE`).
//
// The files are "REGEDIT4": 8-bit text in the ANSI code page, which is what the registry's "A"
// calls give and take, so names and texts go out and come back byte for byte. A file first
// deletes the key ([-KEY]) and then writes it anew, so importing it puts the key back exactly as
// it was saved, also after values were added to it or it was renamed away. Texts (REG_SZ) are
// written as "..." with \ and " escaped; texts with a line break or a NUL inside, and values of
// every other type, as hex bytes: dword: for REG_DWORD, hex: for REG_BINARY, hex(2): and hex(7):
// for expandable and multiple texts (their ANSI bytes, which regedit converts for a REGEDIT4
// file), hex(N): for any other type N.
//
// Key paths in the file are those registryImportPath gives, so that the key returns to the 32-bit
// view where MapSource reads it.
#pragma once

#include "catalogue/registry_tree.h"

#include <string>

namespace oxlo::catalogue {

// The text of a .reg file (lines ending in CR LF) for `tree` as the key `path` below
// HKEY_LOCAL_MACHINE (the path as the program uses it, without WOW6432Node).
std::string registryFileText(const std::string& path, const RegistryTree& tree);

// Reads the key `path` below HKEY_LOCAL_MACHINE whole and writes it to `file`. False, with
// nothing left at `file`, when the key cannot be read whole or the file cannot be written whole.
bool saveRegistryKey(const std::string& path, const std::string& file);

} // namespace oxlo::catalogue
