// The program folder and the environment of services.h on Windows.
#include "platform/services.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <vector>

namespace oxlo::platform {

std::string programFolder() {
    // The path of oxlo.exe may be longer than MAX_PATH: grow until it fits.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            const std::string full = win32::utf8(path.data(), length);
            return full.substr(0, full.find_last_of('\\') + 1);
        }
        path.resize(path.size() * 2);
    }
}

std::string environmentVariable(const std::string& name) {
    // The value may change between the two calls; ask again until it fits.
    const std::wstring wideName = win32::wide(name);
    std::vector<wchar_t> value(1);
    for (;;) {
        const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                       static_cast<DWORD>(value.size()));
        if (length == 0) return {};
        if (length < value.size()) return win32::utf8(value.data(), length);
        value.resize(length);
    }
}

} // namespace oxlo::platform
