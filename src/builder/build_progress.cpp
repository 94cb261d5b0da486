#include "builder/build_progress.h"

#include "builder/create_window_controls.h"

#include "platform/ui.h"

namespace oxlo::builder {

void WindowTitleProgress::show(const std::string& line) { platform::setWindowTitle(window_, line); }

void WindowTitleProgress::stepDone() { platform::setWindowTitle(window_, title_); }

namespace {

// By default the Create Mapset window shows the latest line in its title.
WindowTitleProgress windowTitle(kCreateWindow, kCreateWindowTitle);
BuildProgress* receiver = &windowTitle;

} // namespace

void reportBuildProgressTo(BuildProgress* progress) {
    receiver = progress != nullptr ? progress : &windowTitle;
}

BuildProgress& buildProgress() { return *receiver; }

} // namespace oxlo::builder
