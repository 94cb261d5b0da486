// How the driver reports a failed operation: an exception that names what failed and why.
#pragma once

#include <windows.h>

#include <string>

namespace oxlo::e2e {

// Throws std::runtime_error with `what` and the text of Windows error `error`.
[[noreturn]] void failWithError(const std::string& what, DWORD error);
[[noreturn]] void fail(const std::string& what);
// "0x1234 "title" (class)" for messages.
std::string nameWindow(HWND window);

} // namespace oxlo::e2e
