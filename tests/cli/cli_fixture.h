// oxlo.com's commands run in the test process over the portable platform, with the catalogue's
// registry, a test folder and both Garmin\Maps folders emptied around each test.
#pragma once

#include "catalogue/bundle_fixture.h"
#include "cli/cli.h"

#include "platform/portable/portable_console.h"
#include "platform/services.h"

namespace oxlo::testing {

class CliTest : public BundleTest {
protected:
    void TearDown() override {
        platform::setAdministrator(true);
        BundleTest::TearDown();
    }
    int run(const std::vector<std::string>& arguments) {
        out.clear();
        err.clear();
        return cli::run(arguments, {[this](const std::string& t) { out += t; },
                                    [this](const std::string& t) { err += t; }});
    }
    bool errSays(const std::string& line) const {
        return err.find("oxlo: " + line + "\n") != std::string::npos;
    }
    // tests/data/ready/NAME (made by mkgmap) copied into the test folder; its Windows path.
    std::string ready(const std::string& name) {
        const std::string folder = folder_ + "\\" + name;
        std::filesystem::copy(std::filesystem::path(OXLO_TEST_DATA) / "ready" / name,
                              hostPath(folder), std::filesystem::copy_options::recursive);
        return folder;
    }
    std::string out, err;
};

} // namespace oxlo::testing
