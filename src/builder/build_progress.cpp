#include "builder/build_progress.h"

#include "builder/create_window_controls.h"

#include "platform/ui.h"

namespace oxlo::builder {

namespace {

// The window shows the latest line in its title and gets its own title back after each step.
class WindowTitleProgress final : public BuildProgress {
public:
    void show(const std::string& line) override { platform::setWindowTitle(kCreateWindow, line); }
    void stepDone() override { platform::setWindowTitle(kCreateWindow, kCreateWindowTitle); }
};

WindowTitleProgress windowTitle;
BuildProgress* receiver = &windowTitle;

} // namespace

void reportBuildProgressTo(BuildProgress* progress) {
    receiver = progress != nullptr ? progress : &windowTitle;
}

BuildProgress& buildProgress() { return *receiver; }

} // namespace oxlo::builder
