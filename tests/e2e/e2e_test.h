// What every end-to-end test shares: where the program under test and the scratch folders are,
// and a fixture that gives each test its own working folder and screenshots.
//
// run_e2e.sh passes Windows paths in the environment:
//   OXLO_EXE        oxlo.exe
//   OXLO_E2E_WORK   a scratch folder; each test gets <OXLO_E2E_WORK>\<Suite>.<Test>
//   OXLO_E2E_SHOTS  where screenshots go (BMP here, turned into PNG by run_e2e.sh)
//   OXLO_E2E_DATA   tests/data in the source tree: test maps and indexes (read only; copy them)
//   OXLO_E2E_STANDINS the stand-in cpreview.exe and cgpsmapper.exe (copy them into the folder
//                   Oxlo starts in, where it looks for them)
//   OXLO_E2E_HELPERS the folder of the driver's own fixture program
#pragma once

#include "driver/driver.h"

#include <gtest/gtest.h>

#include <string>

namespace oxlo::e2e {

inline constexpr char kMainWindowTitle[] = "Oxlo by Oxlo contributors";
inline constexpr char kAboutWindowTitle[] = "About Oxlo";

// The value of environment variable `name`; throws when it is not set.
std::string requiredEnvironment(const char* name);

class EndToEndTest : public ::testing::Test {
protected:
    // A fresh, empty working folder for this test.
    const std::string& workFolder();
    // Starts oxlo.exe in `folder` (the test's working folder when empty).
    Process startOxlo(const std::string& folder = {});
    // The main window once it shows; fails the test (nullptr) when it does not within 5 s.
    HWND waitForMainWindow(const Process& oxlo);
    // Saves a screenshot of `window` as <name>.bmp in the screenshot folder, after a pause that
    // lets the controls finish painting.
    void saveScreenshot(HWND window, const std::string& name);

private:
    std::string workFolder_;
};

// The expected look of one control, as the window's table gives it.
struct ExpectedControl {
    const char* className;
    const char* text;
    int x, y, width, height;
    bool enabled = true;
};

// Compares the direct children of `window`, in creation order, with `expected`: class, text,
// position, size, visibility (all visible) and enabled state.
void expectControls(HWND window, const std::vector<ExpectedControl>& expected);

// The size of the window's client area.
SIZE clientSize(HWND window);

} // namespace oxlo::e2e
