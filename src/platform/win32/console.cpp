// The console on Windows: the UTF-16 command line, console output as UTF-16 characters (a
// redirected stream gets UTF-8 bytes), and the elevation of the process token.
#include "platform/console.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_handles.h"

#include <windows.h>
#include <shellapi.h>

namespace oxlo::platform {

namespace {

void writeTo(DWORD which, const std::string& text) {
    const HANDLE stream = ::GetStdHandle(which);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE || text.empty()) return;
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(stream, &mode) != 0) {
        const std::wstring wide = win32::wide(text);
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
        result.push_back(win32::utf8(argument));
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
