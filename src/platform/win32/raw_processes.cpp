// Outside programs of system_primitives.h: a process whose standard output is a pipe to us.
#include "platform/system_primitives.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_handles.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace oxlo::platform::raw {

namespace {

struct RunningProgram {
    win32::UniqueHandle process;
    win32::UniqueHandle output; // our read end of the pipe
};

RunningProgram* programOf(Process process) { return reinterpret_cast<RunningProgram*>(process); }

// The child can only inherit inheritable handles, and our own standard handles usually are not:
// give it inheritable duplicates (none when we have no such handle, as a GUI program often has).
win32::UniqueHandle inheritableCopy(DWORD which) {
    HANDLE own = ::GetStdHandle(which);
    if (own == nullptr || own == INVALID_HANDLE_VALUE) return {};
    HANDLE copy = nullptr;
    const HANDLE self = ::GetCurrentProcess();
    if (!::DuplicateHandle(self, own, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) return {};
    return win32::UniqueHandle(copy);
}

} // namespace

Process startRaw(const std::string& commandLine, const std::string& workingFolder,
                 bool pipeErrors) {
    SECURITY_ATTRIBUTES inherit{};
    inherit.nLength = sizeof inherit;
    inherit.bInheritHandle = TRUE;
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return 0;
    win32::UniqueHandle output(readEnd);
    win32::UniqueHandle childOutput(writeEnd);
    // Our end must not leak into the child, or the pipe would never report its end.
    if (!::SetHandleInformation(output.get(), HANDLE_FLAG_INHERIT, 0)) return 0;

    win32::UniqueHandle childInput = inheritableCopy(STD_INPUT_HANDLE);
    win32::UniqueHandle childError;
    if (!pipeErrors) childError = inheritableCopy(STD_ERROR_HANDLE);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    startup.hStdInput = childInput.get();
    startup.hStdOutput = childOutput.get();
    // The same write end twice: both streams meet in one pipe, in the order the program wrote.
    startup.hStdError = pipeErrors ? childOutput.get() : childError.get();

    std::wstring command = win32::wide(commandLine); // CreateProcessW writes into it
    const std::wstring folder = win32::wide(workingFolder);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                          nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return 0;
    ::CloseHandle(info.hThread);

    auto* program = new RunningProgram;
    program->process.reset(info.hProcess);
    program->output = std::move(output);
    return reinterpret_cast<Process>(program); // childOutput closes here: the pipe ends with it
}

bool processEndedRaw(Process process) {
    if (process == 0) return true;
    const DWORD state = ::WaitForSingleObject(programOf(process)->process.get(), 0);
    return state != WAIT_TIMEOUT;
}

std::size_t readPipeRaw(Process process, char* buffer, std::size_t length) {
    if (process == 0 || length == 0) return 0;
    const auto want = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
    // A zero-length write by the program completes a read with 0 bytes; only a failed read
    // (ERROR_BROKEN_PIPE once every write end is closed) is the end of its output.
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(programOf(process)->output.get(), buffer, want, &got, nullptr)) return 0;
        if (got > 0) return got;
    }
}

std::size_t pipeWaitingRaw(Process process) {
    if (process == 0) return 0;
    DWORD waiting = 0;
    if (!::PeekNamedPipe(programOf(process)->output.get(), nullptr, 0, nullptr, &waiting, nullptr))
        return 0;
    return waiting;
}

bool exitCodeRaw(Process process, std::int64_t* code) {
    DWORD status = 0;
    if (process == 0 || !processEndedRaw(process) ||
        !::GetExitCodeProcess(programOf(process)->process.get(), &status))
        return false;
    *code = status;
    return true;
}

void releaseRaw(Process process) { delete programOf(process); }

} // namespace oxlo::platform::raw
