// Where a build tells how far it is: by default the Create Mapset window's title, for oxlo.com
// lines on standard error. The build itself never knows which.
#pragma once

#include <string>
#include <utility>

namespace oxlo::builder {

class BuildProgress {
public:
    virtual ~BuildProgress() = default;
    // "Copying N of M: FILE", or a line that a compiler printed.
    virtual void show(const std::string& line) = 0;
    // The step is over (the copies, or a tool's run).
    virtual void stepDone() = 0;
};

// A tool's lines in window `window`'s title, and `title` again after each step.
class WindowTitleProgress final : public BuildProgress {
public:
    WindowTitleProgress(int window, std::string title)
        : window_(window), title_(std::move(title)) {}
    void show(const std::string& line) override;
    void stepDone() override;

private:
    int window_;
    std::string title_;
};

// The receiver of every build's progress from now on; nullptr brings back the window title.
void reportBuildProgressTo(BuildProgress* progress);
BuildProgress& buildProgress();

} // namespace oxlo::builder
