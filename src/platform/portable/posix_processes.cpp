// The raw process primitives on POSIX: fork and exec without a shell, the program's standard
// output (and on request its standard error) on a pipe, standard input shared with the caller.
#include "platform/portable/command_line.h"
#include "platform/portable/portable_files.h"
#include "platform/system_primitives.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace oxlo::platform::raw {
namespace {

struct ChildProcess {
    pid_t pid = -1;
    int output = -1; // read end of the pipe on the child's standard output
    bool ended = false;
    std::int64_t exitCode = 0; // once ended: the status, or 128 + the signal that ended it
};

ChildProcess* childOf(Process process) { return reinterpret_cast<ChildProcess*>(process); }

void closeBoth(int fds[2])
{
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace

Process startRaw(const std::string& commandLine, const std::string& workingFolder,
                 bool pipeErrors)
{
    const std::vector<std::string> words = splitCommandLine(commandLine);
    if (words.empty() || words[0].empty())
        return 0;
    const std::string program = hostPathOf(words[0]).string();
    const std::string folder =
        hostPathOf(workingFolder.empty() ? currentWindowsFolder() : workingFolder).string();
    struct stat info {};
    if (::stat(program.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return 0;

    // Everything the child needs is prepared before fork: after it only exec-safe calls run.
    std::vector<std::string> arguments = words;
    arguments[0] = program;
    for (std::size_t i = 1; i < arguments.size(); ++i)
        arguments[i] = withHostPath(arguments[i], [](const std::string& windowsPath) {
            return hostPathOf(windowsPath).string();
        });
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int output[2];
    int execFailure[2]; // closed by a successful exec, carries errno otherwise
    if (::pipe2(output, O_CLOEXEC) != 0)
        return 0;
    if (::pipe2(execFailure, O_CLOEXEC) != 0) {
        closeBoth(output);
        return 0;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        closeBoth(output);
        closeBoth(execFailure);
        return 0;
    }
    if (pid == 0) {
        ::close(output[0]);
        ::close(execFailure[0]);
        if (::dup2(output[1], STDOUT_FILENO) >= 0 &&
            (!pipeErrors || ::dup2(output[1], STDERR_FILENO) >= 0) &&
            ::chdir(folder.c_str()) == 0)
            ::execv(program.c_str(), argv.data());
        const int error = errno;
        [[maybe_unused]] ssize_t ignored = ::write(execFailure[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(output[1]);
    ::close(execFailure[1]);
    int childError = 0;
    ssize_t got;
    do {
        got = ::read(execFailure[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    ::close(execFailure[0]);
    if (got > 0) {
        ::close(output[0]);
        ::waitpid(pid, nullptr, 0);
        return 0;
    }
    return reinterpret_cast<Process>(new ChildProcess{pid, output[0], false});
}

bool processEndedRaw(Process process)
{
    ChildProcess* child = childOf(process);
    if (child == nullptr)
        return true;
    int status = 0;
    if (!child->ended && ::waitpid(child->pid, &status, WNOHANG) == child->pid) {
        child->ended = true;
        child->exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return child->ended;
}

std::size_t readPipeRaw(Process process, char* buffer, std::size_t length)
{
    ChildProcess* child = childOf(process);
    if (child == nullptr || length == 0)
        return 0;
    for (;;) {
        const ssize_t got = ::read(child->output, buffer, length);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            return 0;
    }
}

std::size_t pipeWaitingRaw(Process process)
{
    ChildProcess* child = childOf(process);
    int waiting = 0;
    if (child == nullptr || ::ioctl(child->output, FIONREAD, &waiting) != 0 || waiting < 0)
        return 0;
    return static_cast<std::size_t>(waiting);
}

bool exitCodeRaw(Process process, std::int64_t* code)
{
    if (!processEndedRaw(process) || childOf(process) == nullptr)
        return false;
    *code = childOf(process)->exitCode;
    return true;
}

void releaseRaw(Process process)
{
    ChildProcess* child = childOf(process);
    if (child == nullptr)
        return;
    ::close(child->output);
    // Reap it if it has ended; a program still running is left to run, as on Windows.
    processEndedRaw(process);
    delete child;
}

} // namespace oxlo::platform::raw
