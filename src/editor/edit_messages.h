// The boxes the Edit Mapset window shows, all titled as the window is.
#pragma once

#include <string>

namespace oxlo::editor {

inline constexpr const char* kEditTitle = "Edit Mapset";

// The reason given when a mapset's key could not be moved to its new name.
inline constexpr const char* kRegistryNotRewritten = "its registry entry could not be rewritten.";

// An exclamation box with an OK button (flags 0x30).
void warnUser(const std::string& text);

// "Mapset NAME was not renamed: REASON": the rename was refused or undone, so the mapset is
// registered, named and stored as it was before.
std::string notRenamed(const std::string& name, const std::string& reason);

} // namespace oxlo::editor
