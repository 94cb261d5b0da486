// A registry key and everything below it, as type and bytes of every value, read on the
// primitives of registry_store.h only; and the differences between two such states.
#pragma once

#include "support/registry_access.h"

#include <map>
#include <string>
#include <vector>

namespace oxlo::testing {

// Values of one key by name.
using KeyValues = std::map<std::string, RawValue>;
// Keys by their path below HKLM, spelled as the registry enumerates them.
using RegistrySnapshot = std::map<std::string, KeyValues>;

// `path` and every key below it; empty when the key does not exist.
RegistrySnapshot takeRegistrySnapshot(const std::string& path);

// The keys of `state` that are `path` or lie below it (key names compare ignoring letter case).
RegistrySnapshot keysBelow(const RegistrySnapshot& state, const std::string& path);

// One line for each key or value that differs (missing, added, other type or bytes); none when
// the two states are equal.
std::vector<std::string> registryDifferences(const RegistrySnapshot& before,
                                             const RegistrySnapshot& after);

} // namespace oxlo::testing
