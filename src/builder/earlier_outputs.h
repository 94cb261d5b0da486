// Files that a compiler writes into the mapset folder, where an earlier build may have left files
// of the same names. A build is judged by the presence of its files, so those of an earlier build
// are moved aside while the compiler runs: put back when this build fails, deleted when it
// succeeds.
#pragma once

#include <string>
#include <vector>

namespace oxlo::builder {

class EarlierOutputs {
public:
    explicit EarlierOutputs(std::vector<std::string> files);

    // False when an earlier file is there and cannot be moved aside (blocked() names it); the
    // files already moved are then put back.
    bool moveAside();
    // After a failed build: each earlier file replaces whatever this build left of that name.
    void putBack();
    // After a successful build: the earlier files are deleted.
    void discard();
    const std::string& blocked() const { return blocked_; }
    // What the failure message says when moveAside gave false.
    std::string blockedMessage() const;

private:
    struct Moved {
        std::string file, aside;
    };
    std::vector<std::string> files_;
    std::vector<Moved> moved_;
    std::string blocked_;
};

} // namespace oxlo::builder
