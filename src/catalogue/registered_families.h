// The families registered now, read from the registry itself: the catalogue holds at most 100
// rows, and a name or family ID beyond them must still count as taken.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::catalogue {

struct RegisteredFamily {
    std::string keyName;
    std::int32_t id = 0; // its "ID" value (0 when missing or unreadable)
};

// Every subkey of Families with its family ID, in the registry's order. `complete` (when given)
// tells whether everything was read: a check that a name or ID is free must not pass on a branch
// or an "ID" that could not be read.
std::vector<RegisteredFamily> registeredFamilies(bool* complete = nullptr);

} // namespace oxlo::catalogue
