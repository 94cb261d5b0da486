// oxlo.com's commands over the portable platform: usage errors, exit statuses, the JSON fields,
// the questions and the rights check.
#include "cli_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "platform/registry.h"

#include <nlohmann/json.hpp>

#include <stdexcept>

namespace oxlo::testing {
namespace {

class CliCommands : public CliTest {
protected:
    void addAlps() {
        addFamily("Alps", platform::kRegBinary, {0x71, 0x17}, folder_,
                  makeTdb("Alps.tdb", 1));
    }
};

TEST_F(CliCommands, UsageErrorsGiveTwoWithTheUsageOnStandardError) {
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string usage; // in standard error for 2, in standard output for 0
    } cases[] = {
        {{}, 2, "Usage: oxlo"},
        {{"bogus"}, 2, "Usage: oxlo"},
        {{"list", "--nope"}, 2, "Usage: list"},
        {{"uninstall"}, 2, "Usage: uninstall"},
        {{"install"}, 2, "Usage: install"},
        {{"install", "a.tdb", "--stamp"}, 2, "Usage: install"},
        {{"export", "Alps"}, 2, "Usage: export"},
        {{"move", "Alps"}, 2, "Usage: move"},
        {{"backup"}, 2, "Usage: backup"},
        {{"create", "X"}, 2, "Usage: create"},
        {{"attr", "a.img", "--transparent", "maybe"}, 2, "Usage: attr"},
        {{"edit"}, 2, "Usage: edit"},
        {{"edit", "Alps", "--family-id", "six"}, 2, "Usage: edit"},
        {{"edit", "Alps"}, 2, "oxlo: edit needs --name, --family-id or --product-code."},
        {{"locate", "Alps"}, 2, "Usage: locate"},
        {{"remove-entry"}, 2, "Usage: remove-entry"},
        {{"fix-typ", "Alps", "Hills"}, 2, "Usage: fix-typ"},
        {{"--help"}, 0, "Subcommands:"},
        {{"--help"}, 0, "\n  move "},
        {{"--help"}, 0, "\n  gmapsupp "},
        {{"gmapsupp", "gmapsupp.img"}, 2, "Usage: gmapsupp"},
        {{"check", "--help"}, 0, "Usage: check"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        EXPECT_EQ(run(c.arguments), c.status);
        EXPECT_NE((c.status == 0 ? out : err).find(c.usage), std::string::npos) << out << err;
    }
    ASSERT_EQ(run({"--help"}), 0);
    for (const char* command : {"edit", "locate", "remove-entry", "fix-typ"})
        EXPECT_NE(out.find("\n  " + std::string(command) + " "), std::string::npos) << out;
    EXPECT_EQ(run({"bogus"}), 2);
    EXPECT_EQ(err.rfind("oxlo: unknown command: bogus\n", 0), 0u) << err;
    EXPECT_EQ(run({"--version"}), 0);
    EXPECT_EQ(out, "oxlo 1.04\n");
}

TEST_F(CliCommands, ListAndCheckGiveEveryFieldAndProblems) {
    addAlps();
    addFamily("Gone", platform::kRegBinary, {0x72, 0x17}, "C:\\NoSuchFolder",
              "C:\\NoSuchFolder\\Gone.tdb");
    ASSERT_EQ(run({"list", "--json"}), 0) << err;
    const auto list = nlohmann::json::parse(out);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["key"], "Families\\Alps");
    EXPECT_EQ(list[0]["kind"], "family");
    EXPECT_EQ(list[0]["code"], "FID6001");
    EXPECT_EQ(list[0]["name"], "Alps");
    EXPECT_EQ(list[0]["folder"], folder_);
    EXPECT_EQ(list[1]["problems"].size(), catalogue::installedMapsets[2].problems.size());
    EXPECT_FALSE(list[1]["problems"].empty());

    EXPECT_EQ(run({"check", "Alps"}), 0) << err;
    EXPECT_EQ(out, "");
    EXPECT_EQ(run({"check"}), 1);
    EXPECT_EQ(out.rfind("Families\\Gone: ", 0), 0u) << out;
    EXPECT_EQ(run({"check", "FID6002", "--json"}), 1);
    EXPECT_EQ(nlohmann::json::parse(out)[0]["key"], "Families\\Gone");
    EXPECT_EQ(run({"check", "Nobody"}), 1);
    EXPECT_EQ(err, "oxlo: no mapset is named Nobody.\n");
}

TEST_F(CliCommands, JsonStaysValidForTextThatIsNotUtf8) {
    // A cut-off sequence in the key name, a lone continuation byte in the folder.
    addFamily("Alps\xC3", platform::kRegBinary, {0x71, 0x17}, folder_ + "\\x\x80y",
              makeTdb("Alps.tdb", 1));
    const std::string replacement = "\xEF\xBF\xBD";
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"list", "--json"}, {"check", "--json"}}) {
        SCOPED_TRACE(command.front());
        run(command);
        EXPECT_EQ(err, "");
        nlohmann::json rows;
        ASSERT_NO_THROW(rows = nlohmann::json::parse(out)) << out;
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0]["key"], "Families\\Alps" + replacement);
        EXPECT_NE(rows[0]["folder"].get<std::string>().find("x" + replacement + "y"),
                  std::string::npos);
    }
}

TEST_F(CliCommands, AFailureInsideACommandEndsAsItsMessageAndStatusOne) {
    addAlps();
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"list"}, {"list", "--json"}, {"backup", "Alps"}}) {
        SCOPED_TRACE(command.front());
        std::string errors;
        const int status = cli::run(
            command, {[](const std::string&) { throw std::runtime_error("the console is gone"); },
                      [&](const std::string& t) { errors += t; }});
        EXPECT_EQ(status, 1);
        EXPECT_EQ(errors, "oxlo: the console is gone\n");
    }
}

TEST_F(CliCommands, UninstallAsksForYesAndRights) {
    addAlps();
    platform::setAdministrator(false);
    EXPECT_EQ(run({"uninstall", "Alps", "--yes"}), cli::kExitElevationRequired);
    EXPECT_EQ(err, "oxlo: this command changes mapsets for all users; run it from a command "
                   "prompt started as administrator.\n");
    platform::setAdministrator(true);
    EXPECT_EQ(run({"uninstall", "Families\\Alps"}), 1);
    EXPECT_NE(err.find("oxlo: Proceed to uninstall mapset 'Families\\Alps' ? (answer with "
                       "--yes)\n"),
              std::string::npos)
        << err;
    EXPECT_TRUE(keyExists(kFamilies + "\\Alps"));

    EXPECT_EQ(run({"uninstall", "FID6001", "--yes", "--delete-files"}), 0) << err;
    EXPECT_NE(err.find("oxlo: Uninstall Successful.\n"), std::string::npos) << err;
    EXPECT_FALSE(keyExists(kFamilies + "\\Alps"));
    EXPECT_FALSE(fileExists(folder_ + "\\Alps.tdb"));
}

TEST_F(CliCommands, BackupPrintsTheCopysPath) {
    addAlps();
    const std::string file = folder_ + "\\alps.reg";
    ASSERT_EQ(run({"backup", "Alps", file}), 0) << err;
    EXPECT_EQ(out, file + "\n");
    EXPECT_TRUE(fileExists(file));
    EXPECT_EQ(run({"backup", "Alps", "C:\\NoSuchFolder\\x.reg"}), 1);
    EXPECT_EQ(err, "oxlo: The registry entry Families\\Alps could not be saved to "
                   "C:\\NoSuchFolder\\x.reg.\n");
}

} // namespace
} // namespace oxlo::testing
