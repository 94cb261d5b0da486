#include "generated/sequences.h"

#include "generated/world.h"

#include <set>

namespace oxlo::generated {
namespace {

std::vector<int> allSteps(const Sequence& sequence)
{
    std::vector<int> steps;
    for (int i = 0; i < static_cast<int>(sequence.steps.size()); ++i) steps.push_back(i);
    return steps;
}

bool breaksPromise(const SequenceRun& run, int promise)
{
    for (const auto& broken : run.broken)
        if (broken.promise == promise) return true;
    return false;
}

} // namespace

Sequence drawSequence(std::uint64_t seed, const std::string& root)
{
    RandomSource random(seed);
    Sequence sequence;
    sequence.seed = seed;
    sequence.collection = planCollection(random, root);
    const int steps = random.between(3, 8);
    for (int i = 0; i < steps; ++i) sequence.steps.push_back(drawStep(random));
    return sequence;
}

SequenceRun runSequence(const Sequence& sequence, const std::vector<int>& kept)
{
    layCollection(sequence.collection);
    SequenceRun result;
    World before = takeWorld();
    for (int index : kept.empty() ? allSteps(sequence) : kept) {
        const StepRun step = runStep(sequence.steps[static_cast<std::size_t>(index)],
                                     sequence.collection);
        ++result.operations;
        if (step.injected) ++result.injected;
        World after = takeWorld();
        result.broken = checkPromises(before, after, step);
        if (!result.broken.empty()) {
            result.brokenStep = index;
            result.messages = step.messages;
            break;
        }
        before = std::move(after);
    }
    return result;
}

std::vector<int> shrink(const Sequence& sequence, const SequenceRun& run)
{
    std::vector<int> kept;
    for (int i = 0; i <= run.brokenStep; ++i) kept.push_back(i);
    const int promise = run.broken.front().promise;
    // Drops each step in turn while the rest still breaks the same promise.
    for (bool shorter = true; shorter;) {
        shorter = false;
        for (std::size_t i = 0; i + 1 < kept.size(); ++i) {
            std::vector<int> candidate = kept;
            candidate.erase(candidate.begin() + static_cast<std::ptrdiff_t>(i));
            if (breaksPromise(runSequence(sequence, candidate), promise)) {
                kept = candidate;
                shorter = true;
                break;
            }
        }
    }
    return kept;
}

std::string replayText(const Sequence& sequence, const std::vector<int>& kept,
                       const SequenceRun& run)
{
    std::string steps, list;
    for (int index : kept) {
        steps += "  " + std::to_string(index) + ": " +
                 describeStep(sequence.steps[static_cast<std::size_t>(index)]) + "\n";
        list += (list.empty() ? "" : ",") + std::to_string(index);
    }
    std::string broken;
    for (const auto& promise : run.broken)
        broken += "  promise " + (promise.promise == 0 ? std::string("always")
                                                       : std::to_string(promise.promise)) +
                  ": " + promise.what + "\n";
    for (const auto& message : run.messages) broken += "  shown: " + message + "\n";
    return "seed " + std::to_string(sequence.seed) + ", steps " + list +
           (run.broken.empty() ? " kept every promise\n" : " broke:\n") + broken +
           "collection:\n" + describeCollection(sequence.collection) + "steps:\n" + steps +
           "replay: tools/collections-long.sh -seed " + std::to_string(sequence.seed) +
           " -steps " + list + "\n";
}

std::string Totals::line() const
{
    return "generated collections: " + std::to_string(sequences) + " sequences, " +
           std::to_string(operations) + " operations, " + std::to_string(injected) +
           " injected faults, " + std::to_string(broken) + " broken promises";
}

void runSeed(std::uint64_t seed, const std::string& root, Totals& totals)
{
    const Sequence sequence = drawSequence(seed, root);
    const SequenceRun run = runSequence(sequence);
    ++totals.sequences;
    totals.operations += run.operations;
    totals.injected += run.injected;
    if (run.broken.empty()) return;
    // Each promise the breaking step broke counts once.
    std::set<int> promises;
    for (const auto& broken : run.broken) promises.insert(broken.promise);
    totals.broken += static_cast<int>(promises.size());
    const std::vector<int> kept = shrink(sequence, run);
    const SequenceRun again = runSequence(sequence, kept);
    // A case that breaks only now and then is reported as it first broke.
    totals.reports.push_back(again.broken.empty() ? "not reproduced when run again:\n" +
                                                        replayText(sequence, kept, run)
                                                  : replayText(sequence, kept, again));
}

} // namespace oxlo::generated
