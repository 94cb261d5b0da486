// Whole-key operations the editor needs beyond the text values of registry.h: a family key that is
// renamed must keep its values byte for byte (its "ID" is a 2-byte REG_BINARY).
#pragma once

#include "platform/registry_store.h"

#include <string>

namespace oxlo::editor {

// Copies every value (type and bytes exact) and every subkey of `from` into `to`, creating `to`
// and its subkeys as needed. False as soon as anything cannot be read or written; the caller
// removes the partial copy.
bool copyRegistryTree(platform::RegistryHandle root, const std::string& from, const std::string& to);

} // namespace oxlo::editor
