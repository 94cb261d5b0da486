// Outside programs: the command line, and their standard output handed out line by line.
#include "platform/services.h"
#include "platform/system_primitives.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace oxlo::platform {
namespace {

constexpr std::size_t kInitialBuffer = 4096;
constexpr std::size_t kBufferGrowth = 4096;
constexpr std::size_t kMinimumFree = 512;
// A line longer than this is handed out in pieces of this size, so that a program printing
// without a line end cannot make the buffer grow without bound.
constexpr std::size_t kLongestLine = 64 * 1024;

struct RunningProgram {
    raw::Process process = 0;
    std::vector<char> buffer = std::vector<char>(kInitialBuffer); // bytes [0, held) are held text
    std::size_t held = 0;
    bool pipeEnded = false;
};

// Handles are small serial numbers rather than addresses, so a stale or foreign handle finds
// nothing instead of touching freed memory.
std::map<ProgramHandle, std::unique_ptr<RunningProgram>>& programs()
{
    static std::map<ProgramHandle, std::unique_ptr<RunningProgram>> table;
    return table;
}

// The exit codes of programs that programRunning let go by itself, until releaseProgram.
std::map<ProgramHandle, std::int64_t>& endedPrograms()
{
    static std::map<ProgramHandle, std::int64_t> table;
    return table;
}

RunningProgram* findProgram(ProgramHandle handle)
{
    auto found = programs().find(handle);
    return found == programs().end() ? nullptr : found->second.get();
}

// Reads once from the pipe into the free part of the buffer; false when the pipe has ended.
bool readMore(RunningProgram& program)
{
    if (program.pipeEnded)
        return false;
    if (program.buffer.size() - program.held < kMinimumFree)
        program.buffer.resize(program.buffer.size() + kBufferGrowth);
    const std::size_t got = raw::readPipeRaw(program.process, program.buffer.data() + program.held,
                                             program.buffer.size() - program.held);
    if (got == 0) {
        program.pipeEnded = true;
        return false;
    }
    program.held += got;
    return true;
}

// Takes `length` bytes as the line and drops the line end of `endLength` bytes after them.
std::string takeLine(RunningProgram& program, std::size_t length, std::size_t endLength)
{
    std::string line(program.buffer.data(), length);
    const std::size_t consumed = length + endLength;
    std::copy(program.buffer.begin() + static_cast<std::ptrdiff_t>(consumed),
              program.buffer.begin() + static_cast<std::ptrdiff_t>(program.held),
              program.buffer.begin());
    program.held -= consumed;
    return line;
}

// Whether the held text, which holds no line end, is long enough to be handed out as a piece.
// A CR at its very end may be the first half of a CR LF: the next byte decides first, or the LF
// would later come out as an empty line of its own.
bool longLinePieceWaiting(const RunningProgram& program)
{
    return program.held >= kLongestLine && program.buffer[program.held - 1] != '\r';
}

} // namespace

ProgramHandle runProgram(const std::string& program, const std::string& parameters,
                         const std::string& workingFolder, int options)
{
    // The program always asks for a kept handle and piped output, the only mode provided; only
    // where standard error goes is a choice.
    std::string commandLine =
        !program.empty() && program[0] == '"' ? program : "\"" + program + "\"";
    if (!parameters.empty())
        commandLine += " " + parameters;
    const raw::Process process =
        raw::startRaw(commandLine, workingFolder, (options & kRunPipeErrors) != 0);
    if (process == 0)
        return 0;
    static ProgramHandle lastHandle = 0;
    auto running = std::make_unique<RunningProgram>();
    running->process = process;
    programs()[++lastHandle] = std::move(running);
    return lastHandle;
}

int programRunning(ProgramHandle handle)
{
    RunningProgram* program = findProgram(handle);
    if (program == nullptr)
        return 0;
    if (!raw::processEndedRaw(program->process))
        return 1;
    if (program->held != 0 || (!program->pipeEnded && raw::pipeWaitingRaw(program->process) != 0))
        return 1;
    // Its output has been read to the end: nothing more can come, so let it go now.
    const std::int64_t code = programExitCode(handle);
    releaseProgram(handle);
    endedPrograms()[handle] = code;
    return 0;
}

std::string readProgramOutput(ProgramHandle handle)
{
    RunningProgram* program = findProgram(handle);
    if (program == nullptr)
        return {};
    std::size_t searched = 0;
    for (;;) {
        for (std::size_t i = searched; i < program->held; ++i) {
            const char c = program->buffer[i];
            if (c == '\n')
                return takeLine(*program, i, 1);
            if (c != '\r')
                continue;
            if (i + 1 < program->held)
                return takeLine(*program, i, program->buffer[i + 1] == '\n' ? 2 : 1);
            // A CR that ends what has arrived so far may be the first half of a CR LF: read on
            // before deciding, or the LF would come back later as an empty line of its own.
            if (program->pipeEnded)
                return takeLine(*program, i, 1);
            break;
        }
        if (program->pipeEnded)
            return takeLine(*program, program->held, 0);
        if (longLinePieceWaiting(*program))
            return takeLine(*program, kLongestLine, 0);
        searched = program->held != 0 && program->buffer[program->held - 1] == '\r'
                       ? program->held - 1
                       : program->held;
        readMore(*program);
    }
}

int programOutputWaiting(ProgramHandle handle)
{
    RunningProgram* program = findProgram(handle);
    if (program == nullptr)
        return kOutputEnded;
    for (;;) {
        for (std::size_t i = 0; i < program->held; ++i) {
            // A CR at the very end may still be joined by its LF, so it does not end a line yet.
            if (program->buffer[i] == '\n' || (program->buffer[i] == '\r' && i + 1 < program->held))
                return kOutputLineWaiting;
        }
        if (program->pipeEnded)
            return program->held != 0 ? kOutputLineWaiting : kOutputEnded;
        if (longLinePieceWaiting(*program))
            return kOutputLineWaiting;
        if (raw::pipeWaitingRaw(program->process) != 0) {
            readMore(*program); // does not block: bytes are waiting
            continue;
        }
        if (!raw::processEndedRaw(program->process))
            return 0;
        // Its last bytes may have come between the two looks; after the end none can follow.
        if (raw::pipeWaitingRaw(program->process) != 0)
            continue;
        // Ended with nothing waiting: the next read finds the end of the pipe at once.
        return program->held != 0 ? kOutputLineWaiting : kOutputEnded;
    }
}

std::int64_t programExitCode(ProgramHandle handle)
{
    if (const auto ended = endedPrograms().find(handle); ended != endedPrograms().end())
        return ended->second;
    std::int64_t code = kNoExitCode;
    RunningProgram* program = findProgram(handle);
    return program != nullptr && raw::exitCodeRaw(program->process, &code) ? code : kNoExitCode;
}

void releaseProgram(ProgramHandle handle)
{
    endedPrograms().erase(handle);
    auto found = programs().find(handle);
    if (found == programs().end())
        return;
    raw::releaseRaw(found->second->process);
    programs().erase(found);
}

} // namespace oxlo::platform
