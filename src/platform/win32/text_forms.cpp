// The text helpers of services.h that need Windows' own rules: letter case of names, and the
// ANSI code page of the 8-bit fields in map files.
#include "platform/services.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

namespace oxlo::platform {

bool sameTextIgnoringCase(const std::string& a, const std::string& b) {
    const std::wstring first = win32::wide(a);
    const std::wstring second = win32::wide(b);
    return ::CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                  static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

std::string ansiFromText(const std::string& text, bool* exact) {
    *exact = true;
    const std::wstring characters = win32::wide(text);
    // Text that is no valid UTF-8 has no exact form anywhere.
    if (win32::utf8(characters) != text) *exact = false;
    if (characters.empty()) return {};
    const int length = static_cast<int>(characters.size());
    BOOL usedDefault = FALSE;
    // Without best fit: "Ł" must not quietly become "L".
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, characters.data(), length,
                                            nullptr, 0, nullptr, &usedDefault);
    std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes <= 0 ||
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, characters.data(), length,
                              result.data(), bytes, nullptr, &usedDefault) != bytes ||
        usedDefault)
        *exact = false;
    return result;
}

std::string textForAnsiPrograms(const std::string& text, bool* exact) {
    return ansiFromText(text, exact);
}

std::string textFromAnsiPrograms(const std::string& bytes) {
    return textFromAnsi(bytes);
}

std::string textFromAnsi(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring characters(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, characters.data(), units);
    return win32::utf8(characters);
}

} // namespace oxlo::platform
