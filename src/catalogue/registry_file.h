// Registry keys as .reg files that regedit imports back (double-click, or `regedit /s FILE`).
//
// The files have the form Windows' own regedit exports: "Windows Registry Editor Version 5.00",
// UTF-16LE with a byte-order mark, lines ending in CR LF. Names and texts are UTF-8 inside Oxlo
// and go into the file as their UTF-16 form, so every script comes back unchanged. A file first
// deletes the key ([-KEY]) and then writes it anew, so importing it puts the key back exactly as
// it was saved, also after values were added to it or it was renamed away.
//
// Value names are written as "..." (@ for the default value) and texts (REG_SZ) as "...", with
// \ and " escaped. A text that "..." cannot give back (a line break or NUL inside, no closing NUL,
// bytes that are no UTF-16 text) is written as hex(1): and the bytes the registry holds; so are
// expandable and multiple texts, as hex(2): and hex(7):. dword: holds a REG_DWORD of four bytes,
// hex: a REG_BINARY, hex(N): the bytes of any other type N. Long hex data goes on over lines
// ending in "\", each further line indented by two blanks, wrapped where regedit wraps it.
//
// Key paths in the file are those registryImportPath gives, so that the key returns to the 32-bit
// view where MapSource reads it.
#pragma once

#include "catalogue/registry_tree.h"

#include <string>

namespace oxlo::catalogue {

// The bytes of the .reg file for `tree` as the key `path` below HKEY_LOCAL_MACHINE (the path as
// the program uses it, without WOW6432Node): byte-order mark and UTF-16LE text. Only for a tree
// that registryFileCanCarry.
std::string registryFileText(const std::string& path, const RegistryTree& tree);

// False when a key or value name holds a line break: no line of the file can carry it, and no
// regedit would read the name back as it was.
bool registryFileCanCarry(const std::string& path, const RegistryTree& tree);

// Reads the key `path` below HKEY_LOCAL_MACHINE whole and writes it to `file`. False, with
// nothing left at `file`, when the key cannot be read whole, cannot be written as a file, or the
// file cannot be written whole.
bool saveRegistryKey(const std::string& path, const std::string& file);

} // namespace oxlo::catalogue
