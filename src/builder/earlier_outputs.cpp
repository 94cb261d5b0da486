#include "builder/earlier_outputs.h"

#include "builder/path_rules.h"

#include "platform/services.h"

#include <algorithm>

namespace oxlo::builder {

bool EarlierOutputs::guard(const std::string& file, bool scratch) {
    if (std::ranges::any_of(guarded_, [&](const Guarded& g) { return samePath(g.file, file); }))
        return true;
    const std::string aside = platform::createScratchBeside(file);
    if (!aside.empty() && platform::replaceFile(file, aside) != 0) {
        guarded_.push_back({file, aside, scratch});
        return true;
    }
    if (!aside.empty()) platform::deleteFile(aside);
    // The name is free only when the move failed for want of a file; one that is there but
    // cannot be moved must not be written over, nor removed by putBack.
    if (platform::fileSize(file) == platform::kNoSuchPath) {
        guarded_.push_back({file, {}, scratch});
        return true;
    }
    blocked_ = file;
    return false;
}

void EarlierOutputs::restore(const Guarded& guarded) {
    if (guarded.aside.empty()) {
        platform::deleteFile(guarded.file);
        return;
    }
    // Tried twice: a move that fails for a moment (a scanner holding the file) must not leave
    // the earlier file under a scratch name.
    if (platform::replaceFile(guarded.aside, guarded.file) == 0)
        platform::replaceFile(guarded.aside, guarded.file);
}

void EarlierOutputs::putBack() {
    for (const Guarded& guarded : guarded_)
        if (!guarded.scratch || !guarded.aside.empty()) restore(guarded);
    guarded_.clear();
}

std::string EarlierOutputs::blockedMessage() const {
    return "The file " + blocked_ + " of an earlier build cannot be replaced.";
}

void EarlierOutputs::discard() {
    for (const Guarded& guarded : guarded_) {
        if (guarded.scratch)
            restore(guarded);
        else if (!guarded.aside.empty())
            platform::deleteFile(guarded.aside);
    }
    guarded_.clear();
}

} // namespace oxlo::builder
