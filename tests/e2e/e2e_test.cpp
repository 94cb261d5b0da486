#include "e2e_test.h"

#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace oxlo::e2e {

std::string requiredEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) throw std::runtime_error(std::string(name) + " is not set");
    return value;
}

const std::string& EndToEndTest::workFolder() {
    if (workFolder_.empty()) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        workFolder_ = requiredEnvironment("OXLO_E2E_WORK") + "\\" + test->test_suite_name() + "." +
                      test->name();
        makeEmptyFolder(workFolder_);
    }
    return workFolder_;
}

Process EndToEndTest::startOxlo(const std::string& folder) {
    return Process::start(requiredEnvironment("OXLO_EXE"), folder.empty() ? workFolder() : folder);
}

HWND EndToEndTest::waitForMainWindow(const Process& oxlo) {
    HWND window = waitForTopLevelWindow(oxlo.id(), kMainWindowTitle);
    EXPECT_NE(window, nullptr) << "no window \"" << kMainWindowTitle << "\" within 5 s";
    return window;
}

void EndToEndTest::saveScreenshot(HWND window, const std::string& name) {
    // Controls are painted a few hundred milliseconds after their window shows.
    std::this_thread::sleep_for(milliseconds(400));
    const std::string path = requiredEnvironment("OXLO_E2E_SHOTS") + "\\" + name + ".bmp";
    EXPECT_NO_THROW(e2e::saveScreenshot(window, path)) << path;
}

void expectControls(HWND window, const std::vector<ExpectedControl>& expected) {
    const std::vector<Control> controls = listControls(window);
    ASSERT_EQ(controls.size(), expected.size()) << "controls of " << windowText(window);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Control& actual = controls[i];
        const ExpectedControl& want = expected[i];
        SCOPED_TRACE(::testing::Message() << "control " << i << " of \"" << windowText(window)
                                          << "\": " << actual);
        EXPECT_EQ(actual.className, want.className);
        EXPECT_EQ(actual.text, want.text);
        EXPECT_EQ(actual.x, want.x);
        EXPECT_EQ(actual.y, want.y);
        EXPECT_EQ(actual.width, want.width);
        EXPECT_EQ(actual.height, want.height);
        EXPECT_TRUE(actual.visible);
        EXPECT_EQ(actual.enabled, want.enabled);
    }
}

SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

} // namespace oxlo::e2e
