// Running one outside tool and collecting what it prints, without letting the windows go stale.
#include "builder/build_progress.h"
#include "builder/mapset_build.h"

#include "platform/services.h"
#include "platform/ui.h"

#include <chrono>
#include <thread>

namespace oxlo::builder {

namespace {
// How long to let the tool work between two looks at its output while the windows are painted.
// Short, since a tool's end is noticed only at the next look: each look costs next to nothing.
constexpr std::chrono::milliseconds kPaintInterval{4};
constexpr int kShownLines = 25;

// Keeps the last kKeptToolOutput bytes. Dropped in batches, so that endless output costs no more
// than twice that memory and each byte is moved a few times at most.
void keepTail(ToolRun& run, std::size_t allowed) {
    if (run.output.size() <= allowed) return;
    run.output.erase(0, run.output.size() - kKeptToolOutput);
    run.cut = true;
}

} // namespace

ToolRun runToolReportingTo(const std::string& program, const std::string& parameters,
                           bool withErrors, BuildProgress& progress, ToolText text) {
    ToolRun run;
    const int options = platform::kRunKeepHandle | platform::kRunPipeOutput |
                        (withErrors ? platform::kRunPipeErrors : 0);
    const platform::ProgramHandle handle = platform::runProgram(program, parameters, "", options);
    if (handle == 0) return run;
    run.started = true;
    while (platform::programRunning(handle) != 0) {
        // readProgramOutput blocks until a whole line has come, so wait here, where the windows
        // can still be painted, until it would not.
        int waiting = 0;
        while ((waiting = platform::programOutputWaiting(handle)) == 0) {
            platform::keepWindowsPainted();
            std::this_thread::sleep_for(kPaintInterval);
        }
        // The end of the output is no line of its own.
        if (waiting == platform::kOutputEnded) break;
        std::string line = platform::readProgramOutput(handle);
        if (text == ToolText::Ansi) line = platform::textFromAnsiPrograms(line);
        run.output += line;
        run.output += '\r';
        keepTail(run, 2 * kKeptToolOutput);
        if (!line.empty()) progress.show(line);
    }
    keepTail(run, kKeptToolOutput);
    run.exitCode = platform::programExitCode(handle);
    platform::releaseProgram(handle);
    progress.stepDone();
    return run;
}

ToolRun runToolAndCollectOutput(const std::string& program, const std::string& parameters,
                                bool withErrors, ToolText text) {
    return runToolReportingTo(program, parameters, withErrors, buildProgress(), text);
}

std::string lastLinesOf(const ToolRun& run) {
    const std::string& output = run.output;
    // Each line ends in a CR: the 25th CR from the end closes the line before the last 25.
    std::size_t start = output.size();
    int ends = 0;
    while (start > 0) {
        if (output[start - 1] == '\r' && ++ends > kShownLines) break;
        --start;
    }
    if (start == 0 && !run.cut) return output;
    return "...\r" + output.substr(start);
}

} // namespace oxlo::builder
