// tools/collections-long.sh: generated collections for a given time from a given seed, or one
// sequence replayed with the steps a report names.
//   collections_long -seconds N -seed S         runs seeds S, S+1, ... for N seconds
//   collections_long -seed S -steps 0,3,5       replays those steps of seed S
#include "generated/sequences.h"

#include "support/test_folder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

} // namespace

int main(int argc, char** argv)
{
    long seconds = 60;
    std::uint64_t seed = 1;
    std::string steps;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "-seconds") seconds = std::stol(argv[i + 1]);
        else if (option == "-seed") seed = std::stoull(argv[i + 1]);
        else if (option == "-steps") steps = argv[i + 1];
        else {
            std::fprintf(stderr, "usage: %s [-seconds N] [-seed S] [-steps I,J,...]\n", argv[0]);
            return 2;
        }
    }
    const std::string root = oxlo::testing::freshTestFolder("generated");
    if (!steps.empty()) {
        const Sequence sequence = drawSequence(seed, root);
        std::vector<int> kept;
        for (int index : stepList(steps))
            if (index >= 0 && index < static_cast<int>(sequence.steps.size())) kept.push_back(index);
        const SequenceRun run = runSequence(sequence, kept);
        std::printf("%s", replayText(sequence, kept, run).c_str());
        std::printf("%s\n", run.broken.empty() ? "every promise kept" : "broken");
        return run.broken.empty() ? 0 : 1;
    }
    Totals totals;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (std::uint64_t next = seed; std::chrono::steady_clock::now() < end; ++next) {
        runSeed(next, root, totals);
        if (totals.sequences % 1000 == 0) {
            std::printf("%s (seed %llu)\n", totals.line().c_str(),
                        static_cast<unsigned long long>(next));
            std::fflush(stdout);
        }
    }
    for (const auto& report : totals.reports) std::printf("\n%s", report.c_str());
    std::printf("%s\n", totals.line().c_str());
    return totals.broken == 0 ? 0 : 1;
}
