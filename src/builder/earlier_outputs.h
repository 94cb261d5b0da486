// The files that a build writes into the mapset folder, where files of the same names may lie
// already: the user's, or those of an earlier build. Before the build writes a name, the file of
// that name is moved aside into a scratch file. After a failed build each earlier file is put
// back and what this build wrote under a name that was free is removed, so the folder holds what
// it held before; after a successful build an earlier file that differs from its replacement is
// kept as NAME.bak (an older copy there is the original and stays), since the user may have had
// nothing else of it. A build is judged by the presence of its files, and so an earlier file
// never passes for one of this build.
#pragma once

#include <string>
#include <vector>

namespace oxlo::builder {

class EarlierOutputs {
public:
    // Guards the name `file` before the build writes it. False when an earlier file is there and
    // cannot be moved aside (blocked() names it): the build must not write that name. With
    // `scratch` the name is only the tools' working file (the control file): the build's own goes
    // again whether it succeeds or fails, and the earlier file comes back.
    bool guard(const std::string& file, bool scratch = false);
    // After a failed build: each earlier file replaces whatever this build left of that name, and
    // a file under a name that was free is removed.
    void putBack();
    // After a successful build: an earlier file that differs from its replacement is kept as
    // NAME.bak, unless an older copy is there; the others are deleted. Scratch names are put back.
    void discard();
    const std::string& blocked() const { return blocked_; }
    // What the failure message says when guard gave false.
    std::string blockedMessage() const;

private:
    struct Guarded {
        std::string file, aside; // aside empty: the name was free
        std::string onDisk;      // `file` spelt as the earlier file's name was on disk
        bool scratch = false;
    };
    void restore(const Guarded& guarded);
    void keepCopy(const Guarded& guarded);
    std::vector<Guarded> guarded_;
    std::string blocked_;
};

} // namespace oxlo::builder
