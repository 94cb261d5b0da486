#include "builder/earlier_outputs.h"

#include "platform/services.h"

namespace oxlo::builder {

EarlierOutputs::EarlierOutputs(std::vector<std::string> files) : files_(std::move(files)) {}

bool EarlierOutputs::moveAside() {
    for (const std::string& file : files_) {
        if (platform::fileSize(file) < 0) continue;
        const std::string aside = file + ".earlier";
        platform::deleteFile(aside);
        if (platform::renameFile(file, aside) == 0) {
            blocked_ = file;
            putBack();
            return false;
        }
        moved_.push_back({file, aside});
    }
    return true;
}

void EarlierOutputs::putBack() {
    for (const Moved& moved : moved_) {
        platform::deleteFile(moved.file);
        platform::renameFile(moved.aside, moved.file);
    }
    moved_.clear();
}

std::string EarlierOutputs::blockedMessage() const {
    return "The file " + blocked_ + " of an earlier build cannot be replaced.";
}

void EarlierOutputs::discard() {
    for (const Moved& moved : moved_) platform::deleteFile(moved.aside);
    moved_.clear();
}

} // namespace oxlo::builder
