// The five promises that every operation keeps, checked from the world before and after a step:
// 1. every file that existed before is, byte for byte, under its own name, unless the operation's
//    contract says otherwise, and then it is in the Recycle Bin or has its .bak;
// 2. nothing that belongs to another mapset changes: its registry values, its files, its TYP;
// 3. a success means the whole effect happened; a refusal or failure leaves the collection as it
//    was (registry and files), apart from .reg copies;
// 4. after a success the check finds no new problem on the mapset operated on nor on any other;
// 5. every .reg copy made on the way, read back, gives exactly the state it was taken of.
// And always: no exception escapes and the console's JSON parses.
#pragma once

#include "generated/steps.h"
#include "generated/world.h"

#include <string>
#include <vector>

namespace oxlo::generated {

struct BrokenPromise {
    int promise = 0; // 1 to 5; 0 for the ones that always hold
    std::string what;
};

std::vector<BrokenPromise> checkPromises(const World& before, const World& after,
                                         const StepRun& run);

} // namespace oxlo::generated
