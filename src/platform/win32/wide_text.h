// The one place where Oxlo's UTF-8 text meets the UTF-16 of the wide Win32 functions. Every call
// of the seam converts here, once, on its way in and out; nothing outside platform/win32 sees
// UTF-16.
#pragma once

#include <windows.h>

#include <string>

namespace oxlo::platform::win32 {

// UTF-16 of `length` bytes of UTF-8 (NULs inside are kept). An invalid byte becomes U+FFFD.
inline std::wstring wide(const char* text, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, text, size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) ::MultiByteToWideChar(CP_UTF8, 0, text, size, result.data(), units);
    return result;
}

inline std::wstring wide(const std::string& text) { return wide(text.data(), text.size()); }

// UTF-8 of `length` UTF-16 units (NULs inside are kept). A lone surrogate becomes U+FFFD.
inline std::string utf8(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text, size, result.data(), bytes, nullptr, nullptr);
    return result;
}

inline std::string utf8(const std::wstring& text) { return utf8(text.data(), text.size()); }

// UTF-8 of a NUL-terminated UTF-16 text.
inline std::string utf8(const wchar_t* text) { return text ? utf8(text, ::lstrlenW(text)) : ""; }

} // namespace oxlo::platform::win32
