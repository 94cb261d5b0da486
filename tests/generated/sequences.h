// Seeded sequences of steps over a generated collection, the promises checked after each step,
// a shrinker that cuts a broken sequence down to the steps still needed to break it, and the
// replayable report of what broke.
#pragma once

#include "generated/collection.h"
#include "generated/promises.h"
#include "generated/steps.h"

#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::generated {

struct Sequence {
    std::uint64_t seed = 0;
    Collection collection;
    std::vector<Step> steps;
};

// The collection and steps that `seed` gives, laid below `root`.
Sequence drawSequence(std::uint64_t seed, const std::string& root);

struct SequenceRun {
    int operations = 0;
    int injected = 0;
    std::vector<BrokenPromise> broken; // at the first step that broke a promise
    int brokenStep = -1;               // its index in the sequence
    std::vector<std::string> messages; // what that step showed
};

// Lays the collection afresh and runs the steps `kept` (indices into sequence.steps, in order;
// every step when empty) until one breaks a promise.
SequenceRun runSequence(const Sequence& sequence, const std::vector<int>& kept = {});

// The fewest steps (found greedily) that still break the promise that `run` broke first.
std::vector<int> shrink(const Sequence& sequence, const SequenceRun& run);

// The seed, the collection and the steps, short enough to read, and how to run it again.
std::string replayText(const Sequence& sequence, const std::vector<int>& kept,
                       const SequenceRun& run);

struct Totals {
    int sequences = 0;
    int operations = 0;
    int injected = 0;
    int broken = 0;   // promises broken, each once per sequence that broke it
    std::vector<std::string> reports; // one replayable case per broken sequence
    std::string line() const;         // "generated collections: N sequences, ..."
};

// Runs one seed's sequence, shrinking and reporting it when it breaks a promise.
void runSeed(std::uint64_t seed, const std::string& root, Totals& totals);

} // namespace oxlo::generated
