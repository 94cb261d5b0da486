// The console on Windows: the UTF-16 command line, console output as UTF-16 characters (a
// redirected stream gets UTF-8 bytes), and the elevation of the process token.
#include "platform/console.h"
#include "platform/win32/win32_handles.h"

#include <windows.h>
#include <shellapi.h>

namespace oxlo::platform {

namespace {

std::string utf8FromWide(const wchar_t* text, int length) {
    if (length <= 0) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring wideFromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), size);
    return result;
}

void writeTo(DWORD which, const std::string& text) {
    const HANDLE stream = ::GetStdHandle(which);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE || text.empty()) return;
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(stream, &mode) != 0) {
        const std::wstring wide = wideFromUtf8(text);
        ::WriteConsoleW(stream, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    ::WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

struct LocalMemoryTraits {
    using Value = wchar_t**;
    static wchar_t** none() { return nullptr; }
    static bool empty(wchar_t** p) { return p == nullptr; }
    static void release(wchar_t** p) { ::LocalFree(p); }
};

} // namespace

std::vector<std::string> commandLineArguments(int, char**) {
    int count = 0;
    const win32::Owner<LocalMemoryTraits> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> result;
    if (!arguments) return result;
    for (int i = 1; i < count; ++i) {
        const wchar_t* argument = arguments.get()[i];
        result.push_back(utf8FromWide(argument, static_cast<int>(::wcslen(argument))));
    }
    return result;
}

void writeStandardOutput(const std::string& text) { writeTo(STD_OUTPUT_HANDLE, text); }
void writeStandardError(const std::string& text) { writeTo(STD_ERROR_HANDLE, text); }

bool runsAsAdministrator() {
    HANDLE opened = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened) == 0) return false;
    const win32::UniqueHandle token(opened);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) != 0 &&
           elevation.TokenIsElevated != 0;
}

} // namespace oxlo::platform
