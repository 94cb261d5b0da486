// tools/collections-long.sh: generated collections for a given time or number of sequences from
// a given seed, in one process or several, or one sequence replayed with the steps a report names.
//   collections_long -seconds N -seed S         runs seeds S, S+1, ... for N seconds
//   collections_long -sequences N -seed S       runs seeds S to S+N-1
//   collections_long ... -jobs J                in J processes, each on seeds of its own
//   collections_long -seed S -steps 0,3,5       replays those steps of seed S
#include "generated/sequences.h"

#include "platform/portable/portable_files.h"
#include "support/test_folder.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

using namespace oxlo::generated;

namespace {

std::vector<int> stepList(const std::string& text)
{
    std::vector<int> steps;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');) steps.push_back(std::stoi(item));
    return steps;
}

// What the processes of one run share: the next seed to take and the sums so far.
struct Shared {
    std::atomic<std::uint64_t> nextSeed;
    std::atomic<int> sequences, operations, injected, broken;
};

std::string sumLine(const Shared& shared)
{
    Totals sum;
    sum.sequences = shared.sequences;
    sum.operations = shared.operations;
    sum.injected = shared.injected;
    sum.broken = shared.broken;
    return sum.line();
}

struct Limits {
    std::uint64_t endSeed = 0; // one past the last seed; 0: no end
    std::chrono::steady_clock::time_point end;
    bool timed = false;
};

// Takes seeds until the limits are reached; each process lays its collections below a host
// folder, and keeps a registry, of its own. Reports go to `reports`, one block per seed.
void work(Shared& shared, const Limits& limits, std::ostream& reports)
{
    const std::string root = oxlo::testing::freshTestFolder("generated");
    while (!limits.timed || std::chrono::steady_clock::now() < limits.end) {
        const std::uint64_t seed = shared.nextSeed++;
        if (limits.endSeed != 0 && seed >= limits.endSeed) break;
        Totals totals;
        runSeed(seed, root, totals);
        shared.operations += totals.operations;
        shared.injected += totals.injected;
        shared.broken += totals.broken;
        for (const auto& report : totals.reports)
            reports << "@@ " << seed << "\n" << report << std::flush;
        if (++shared.sequences % 1000 == 0) {
            std::printf("%s (seed %llu)\n", sumLine(shared).c_str(),
                        static_cast<unsigned long long>(seed));
            std::fflush(stdout);
        }
    }
}

// A folder in memory where there is one: a sequence lays and reads some hundred files, and a
// disk's file system takes several times as long for that under load.
std::filesystem::path fastTemporaryFolder()
{
    std::error_code error;
    const std::filesystem::path memory = "/dev/shm";
    if (std::filesystem::is_directory(memory, error) && ::access(memory.c_str(), W_OK) == 0)
        return memory;
    return std::filesystem::temp_directory_path();
}

// work() below a host folder of its own, which it takes away again. The one made at start-up
// may be the parent's of forked jobs, and lies on the disk.
int runJob(Shared& shared, const Limits& limits, std::ostream& reports)
{
    std::string host = (fastTemporaryFolder() / "oxlo-collections-XXXXXX").string();
    if (mkdtemp(host.data()) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    int status = 0;
    try {
        oxlo::platform::setHostRoot(host);
        work(shared, limits, reports);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "collections_long: %s\n", error.what());
        status = 2;
    }
    std::error_code ignored;
    std::filesystem::remove_all(host, ignored);
    return status;
}

// The reports that work() wrote, by seed.
void readReports(std::istream& in, std::map<std::uint64_t, std::string>& bySeed)
{
    std::uint64_t seed = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("@@ ", 0) == 0) seed = std::stoull(line.substr(3));
        else bySeed[seed] += line + "\n";
    }
}

int usage(const char* program)
{
    std::fprintf(stderr,
                 "usage: %s [-seconds N] [-sequences N] [-seed S] [-jobs N] [-steps I,J,...]\n",
                 program);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    long seconds = -1;
    long sequences = -1;
    int jobs = 1;
    std::uint64_t seed = 1;
    std::string steps;
    if (argc % 2 == 0) return usage(argv[0]);
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "-seconds") seconds = std::stol(argv[i + 1]);
        else if (option == "-sequences") sequences = std::stol(argv[i + 1]);
        else if (option == "-seed") seed = std::stoull(argv[i + 1]);
        else if (option == "-jobs") jobs = std::max(1, std::stoi(argv[i + 1]));
        else if (option == "-steps") steps = argv[i + 1];
        else return usage(argv[0]);
    }
    if (!steps.empty()) {
        const std::string root = oxlo::testing::freshTestFolder("generated");
        const Sequence sequence = drawSequence(seed, root);
        std::vector<int> kept;
        for (int index : stepList(steps))
            if (index >= 0 && index < static_cast<int>(sequence.steps.size())) kept.push_back(index);
        const SequenceRun run = runSequence(sequence, kept);
        std::printf("%s", replayText(sequence, kept, run).c_str());
        std::printf("%s\n", run.broken.empty() ? "every promise kept" : "broken");
        return run.broken.empty() ? 0 : 1;
    }
    Limits limits;
    if (sequences >= 0) limits.endSeed = seed + static_cast<std::uint64_t>(sequences);
    if (seconds >= 0 || sequences < 0) {
        limits.timed = true;
        limits.end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds < 0 ? 60 : seconds);
    }
    // Shared between the processes forked below; none of them has touched a test host yet.
    void* memory = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS,
                        -1, 0);
    if (memory == MAP_FAILED) {
        std::perror("mmap");
        return 2;
    }
    Shared& shared = *new (memory) Shared{{seed}, {0}, {0}, {0}, {0}};
    std::fflush(stdout);
    std::map<std::uint64_t, std::string> reports;
    if (jobs == 1) {
        std::stringstream out;
        if (runJob(shared, limits, out) != 0) return 2;
        readReports(out, reports);
    } else {
        std::vector<std::string> files;
        std::vector<pid_t> children;
        for (int job = 0; job < jobs; ++job) {
            char name[] = "/tmp/oxlo-collections-XXXXXX";
            const int descriptor = mkstemp(name);
            if (descriptor < 0) {
                std::perror("mkstemp");
                return 2;
            }
            close(descriptor);
            files.push_back(name);
            const pid_t child = fork();
            if (child == 0) {
                int status = 0;
                {
                    std::ofstream out(name, std::ios::trunc);
                    status = runJob(shared, limits, out);
                }
                std::fflush(stdout);
                _exit(status); // the parent's host folder stays for the parent to take away
            }
            if (child < 0) {
                std::perror("fork");
                return 2;
            }
            children.push_back(child);
        }
        bool failed = false;
        for (const pid_t child : children) {
            int status = 0;
            waitpid(child, &status, 0);
            failed = failed || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        }
        for (const std::string& file : files) {
            std::ifstream in(file);
            readReports(in, reports);
            std::remove(file.c_str());
        }
        if (failed) std::fprintf(stderr, "a job of the run ended early\n");
    }
    for (const auto& [at, report] : reports) std::printf("\n%s", report.c_str());
    std::printf("%s\n", sumLine(shared).c_str());
    return shared.broken == 0 ? 0 : 1;
}
