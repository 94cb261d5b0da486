// Where a build tells how far it is: by default the Create Mapset window's title, for oxlo.com
// lines on standard error. The build itself never knows which.
#pragma once

#include <string>

namespace oxlo::builder {

class BuildProgress {
public:
    virtual ~BuildProgress() = default;
    // "Copying N of M: FILE", or a line that a compiler printed.
    virtual void show(const std::string& line) = 0;
    // The step is over (the copies, or a tool's run).
    virtual void stepDone() = 0;
};

// The receiver of every build's progress from now on; nullptr brings back the window title.
void reportBuildProgressTo(BuildProgress* progress);
BuildProgress& buildProgress();

} // namespace oxlo::builder
