#include "driver/driver.h"
#include "driver/failure.h"

#include <stdexcept>
#include <thread>
#include <utility>

namespace oxlo::e2e {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what);
}

[[noreturn]] void failWithError(const std::string& what, DWORD error) {
    char buffer[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   buffer, sizeof buffer, nullptr);
    std::string reason = buffer;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    fail(what + " (error " + std::to_string(error) + (reason.empty() ? "" : ": " + reason) + ")");
}

bool waitUntil(const std::function<bool()>& condition, milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(milliseconds(10));
    }
}

Process Process::start(const std::string& exe, const std::string& workFolder,
                       const std::string& arguments) {
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workFolder.empty() ? nullptr : workFolder.c_str(), &startup, &info)) {
        failWithError("cannot start " + exe + " in " + workFolder, GetLastError());
    }
    CloseHandle(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

Process::Process(Process&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), id_(std::exchange(other.id_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        terminate();
        if (handle_) CloseHandle(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Process::~Process() {
    terminate();
    if (handle_) CloseHandle(handle_);
}

bool Process::running() const {
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::waitForExit(milliseconds timeout) const {
    if (!handle_) return std::nullopt;
    if (WaitForSingleObject(handle_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(handle_, &code)) return std::nullopt;
    return code;
}

void Process::terminate() {
    if (running()) {
        TerminateProcess(handle_, 255);
        WaitForSingleObject(handle_, 5000);
    }
}

} // namespace oxlo::e2e
