// Letter case on the portable side, as Windows ignores it in names and paths: each character
// folded to one form, for Basic Latin, Latin-1, Latin Extended-A, Greek and Cyrillic. Other
// characters stay as they are.
#pragma once

#include <string>
#include <string_view>

namespace oxlo::platform {

// A byte of UTF-8 text that starts no valid character stands for itself as this plus the byte,
// so it never equals a character.
inline constexpr char32_t kInvalidByte = 0x110000;

// The characters of UTF-8 `text`.
std::u32string charactersOf(const std::string& text);
// The characters of UTF-8 `text`, each folded.
std::u32string foldedText(const std::string& text);
// sameTextIgnoringCase over views, for callers that compare parts of a longer text.
bool sameFoldedText(std::string_view a, std::string_view b);

} // namespace oxlo::platform
