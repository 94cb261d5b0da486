// The boxes the Edit Mapset window shows, all titled as the window is.
#pragma once

#include <string>

namespace oxlo::editor {

inline constexpr const char* kEditTitle = "Edit Mapset";

// The reason given when a mapset's key could not be moved to its new name.
inline constexpr const char* kRegistryNotRewritten = "its registry entry could not be rewritten.";

// How one step of an edit (the rename, the new number) ended.
enum class StepOutcome {
    Done,    // changed as asked, or nothing to change
    NotDone, // refused or undone, with a message: the mapset is as it was
    Damaged, // failed and could not be put back entirely, with a message saying what to check
};

// An exclamation box with an OK button (flags 0x30).
void warnUser(const std::string& text);

// "Mapset NAME was not renamed: REASON": the rename was refused or undone, so the mapset is
// registered, named and stored as it was before.
std::string notRenamed(const std::string& name, const std::string& reason);

// Refuses the number typed into the Edit Mapset window: the field shows `shown` again (the row's
// own number), then `text` is shown as a warning. Gives NotDone.
StepOutcome refuseNumber(int shown, const std::string& text);

// "The WHAT of mapset NAME was not changed: REASON": refused or undone, nothing changed.
std::string notChanged(const std::string& what, const std::string& name, const std::string& reason);
// "The WHAT of mapset NAME was changed only in part and could not be put back: check PLACES."
std::string changedInPart(const std::string& what, const std::string& name,
                          const std::string& places);

} // namespace oxlo::editor
