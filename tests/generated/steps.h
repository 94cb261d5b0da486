// The operations that change the registry or files, drawn at random and run through the same
// functions the window and the console call, with message boxes answered by the scripted UI.
#pragma once

#include "generated/collection.h"
#include "generated/random_source.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace oxlo::generated {

enum class Operation {
    Create, Install, Uninstall, UninstallWithFiles, Rename, FamilyId, ProductCode,
    LocateFolder, RemoveEntry, FixTyp, Repair, ExportBundle, AttributeSave, Move, SaveForGps,
};

enum class Fault { None, FailingCall, NoRecycleBin };

struct Step {
    Operation operation = Operation::Create;
    int row = 0;          // taken modulo the rows of the scan before the step
    std::string text;     // a new name, or the name of a new mapset
    int number = 0;       // family ID, product code or draw priority
    int choice = 0;       // which maps, compiler, download or folder
    bool declines = false; // the user answers No to the first question
    Fault fault = Fault::None;
    int failingCall = 0;  // with Fault::FailingCall
};

Step drawStep(RandomSource& random);
// The step as a line of a replayable case.
std::string describeStep(const Step& step);

enum class Outcome { Success, Refused };

// What a step did and what its contract lets it do; paths are Windows paths.
struct StepRun {
    Outcome outcome = Outcome::Refused;
    bool injected = false;       // the fault was injected (the failing call was reached)
    std::string escaped;         // what escaped as an exception
    std::vector<std::string> messages;
    std::string operatedKey;     // registry key of the row operated on (below HKLM), or empty
    std::string operatedFolder;  // its folder (or the bundle's)
    bool recycles = false;       // its files may go to the Recycle Bin
    std::string deletedForGood;  // a bundle the user agreed to delete for good
    bool repairs = false;        // it rewrites every old-form product entry
    std::vector<std::string> mayRewrite; // files the operation may change in place or rename
    std::vector<std::string> chosenFiles; // files the user named for the operation itself
    std::vector<std::string> backedUp;   // files that may change when they keep a .bak
    std::string indexAfter;      // the .TDB of the mapset created, installed or renamed
    std::set<int> acceptedProblems; // problems the user chose for the mapset operated on
    std::function<std::string()> effect; // after a success: what is missing of the effect
};

// Runs the step over the collection as it is now. Never throws.
StepRun runStep(const Step& step, const Collection& collection);

} // namespace oxlo::generated
