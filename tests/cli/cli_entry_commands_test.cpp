// edit, locate, remove-entry and fix-typ through oxlo.com: one table of their outcomes over a
// collection of two mkgmap families (Dales' TYP holds another family ID), product 150 and a
// bundle, each case followed by the collection as the next scan lists it.
#include "cli_fixture.h"

#include "support/fault_runs.h"

#include <nlohmann/json.hpp>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;

class CliEntryCommands : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        platform::setAdministrator(true);
        dales_ = ready("Dales");
        ASSERT_EQ(run({"install", ready("Hills"), "--yes"}), 0) << err;
        ASSERT_EQ(run({"install", dales_, "--yes"}), 0) << err;
        addProduct("150", folder_ + "\\Alpen", makeTdb("Alpen\\Alpen.tdb", 150));
        addBundle(platform::KnownFolder::ProgramData, "Test Fam.gmap");
    }
    // Each row as "KEY CODE FOLDER ok" or "KEY CODE FOLDER problems", one a line.
    std::string collection() {
        EXPECT_EQ(run({"list", "--json"}), 0) << err;
        std::string rows;
        for (const auto& row : nlohmann::json::parse(out))
            rows += row["key"].get<std::string>() + " " + row["code"].get<std::string>() + " " +
                    row["folder"].get<std::string>() +
                    (row["problems"].empty() ? " ok\n" : " problems\n");
        return rows;
    }
    std::string dales_;
};

TEST_F(CliEntryCommands, EachCommandChangesOnlyWhatItMayAndSaysWhy) {
    const std::string rights = "this command changes mapsets for all users; run it from a command "
                               "prompt started as administrator.";
    const struct {
        // MOVED: where Dales' folder went, DALES: its folder, OTHER: another mapset's folder
        std::vector<std::string> arguments;
        bool moved;                         // Dales' folder is moved away first
        bool administrator;
        int status;
        std::string says;  // a line on standard error
        std::string row;   // the start of a row afterwards; empty: no row of Dales
    } cases[] = {
        {{"edit", "Dales", "--name", "Dale"}, false, true, 0, "Mapset edited.",
         "Families\\Dale FID6006 DALES problems\n"},
        // Its TYP holds another family's ID, which a change of its own ID leaves as it is.
        {{"edit", "FID6006", "--family-id", "6010"}, false, true, 0, "Mapset edited.",
         "Families\\Dales FID6010 DALES problems\n"},
        {{"edit", "Dales", "--family-id", "6005"}, false, true, 1,
         "Family ID 6005 is already used by mapset Families\\Hills. Please choose another "
         "family ID.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"edit", "Dales", "--family-id", "70000"}, false, true, 1,
         "Family IDs range from 1 to 65534. Please select a number in that range.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"edit", "Dales", "--name", "Da:les"}, false, true, 1,
         "Please use a mapset name that can be a folder name.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"edit", "Dales", "--product-code", "150"}, false, true, 1,
         "Families\\Dales is a family: it has a family ID (--family-id), not a product code.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"edit", "COD150", "--product-code", "160"}, false, true, 0, "Mapset edited.",
         "Products\\160 COD160 "},
        {{"edit", "Products\\150", "--product-code", "300"}, false, true, 1,
         "Product code range limited to 100 - 200 by Oxlo. Please select a number between 100 "
         "and 200.",
         "Products\\150 COD150 "},
        {{"edit", "COD150", "--family-id", "6001"}, false, true, 1,
         "Products\\150 is a product: it has a product code (--product-code), not a family ID.",
         "Products\\150 COD150 "},
        {{"edit", "GMAP4711", "--name", "Fam"}, false, false, 1,
         "Mapset Test Fam is a BaseCamp bundle. Oxlo edits mapsets registered for MapSource "
         "only.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"edit", "Dales", "--name", "Dale"}, false, false, 740, rights,
         "Families\\Dales FID6006 DALES problems\n"},
        {{"edit", "Nowhere", "--name", "X"}, false, true, 1, "no mapset is named Nowhere.",
         "Families\\Dales FID6006 DALES problems\n"},

        {{"locate", "Dales", "MOVED"}, true, true, 0, "", "Families\\Dales FID6006 MOVED problems"},
        {{"locate", "Dales", "HILLS"}, true, true, 1,
         "The folder HILLS does not hold Dales.tdb. Nothing was changed.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"locate", "Test Fam", "MOVED"}, true, true, 1,
         "Maps\\Test Fam.gmap is a BaseCamp bundle: it has no registry entry.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"locate", "Dales", "OTHER"}, true, true, 1,
         "The index file OTHER\\Dales.tdb holds family ID 6001, not the registry's 6006. Nothing "
         "was changed.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"locate", "COD150", "OTHER"}, false, true, 1,
         "The index file OTHER\\Alpen.tdb holds product code 160, but the entry is registered as "
         "Products\\150. Nothing was changed.",
         "Products\\150 COD150 "},
        {{"locate", "Dales", "MOVED"}, true, false, 740, rights,
         "Families\\Dales FID6006 DALES problems\n"},

        {{"remove-entry", "Dales"}, true, true, 1,
         "Remove the registry entry Families\\Dales? Its folder DALES no longer exists. (answer "
         "with --yes)",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"remove-entry", "Dales", "--yes"}, true, true, 0, "", ""},
        {{"remove-entry", "Dales", "--yes"}, false, true, 1,
         "The folder DALES of Families\\Dales exists; only the entry of a mapset whose folder is "
         "gone is removed.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"remove-entry", "Dales", "--yes"}, true, false, 740, rights,
         "Families\\Dales FID6006 DALES problems\n"},

        {{"fix-typ", "Dales"}, false, true, 0, "", "Families\\Dales FID6006 DALES ok"},
        {{"fix-typ", "Hills"}, false, true, 1,
         "Families\\Hills has no TYP file of another family ID.",
         "Families\\Dales FID6006 DALES problems\n"},
        {{"fix-typ", "Dales"}, false, false, 740, rights,
         "Families\\Dales FID6006 DALES problems\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments) + (c.moved ? " moved" : ""));
        SetUp();
        const std::string moved = folder_ + "\\Moved";
        const auto named = [&](std::string text) {
            for (const auto& [word, path] : {std::pair<std::string, std::string>{"MOVED", moved},
                                             {"DALES", dales_},
                                             {"OTHER", folder_ + "\\Other"},
                                             {"HILLS", folder_ + "\\Hills"}})
                if (const auto at = text.find(word); at != std::string::npos)
                    text.replace(at, word.size(), path);
            return text;
        };
        if (c.moved) fs::rename(hostPath(dales_), hostPath(moved));
        if (c.arguments.back() == "OTHER") {
            // Another mapset's index files under the entries' file names: family 6001, code 160.
            makeTdb("Other\\Dales.tdb", 160);
            makeTdb("Other\\Alpen.tdb", 160);
        }
        const std::string before = collection();
        std::vector<std::string> arguments;
        for (const std::string& argument : c.arguments) arguments.push_back(named(argument));
        platform::setAdministrator(c.administrator);
        EXPECT_EQ(run(arguments), c.status) << err;
        const std::string error = err;
        if (c.says.empty()) {
            EXPECT_EQ(error, "");
        } else {
            EXPECT_NE(error.find("oxlo: " + named(c.says) + "\n"), std::string::npos) << error;
        }
        const std::string after = collection();
        for (const char* other :
             {"Families\\Hills FID6005 HILLS ok\n", "Maps\\Test Fam.gmap GMAP4711 "})
            EXPECT_NE(after.find(named(other)), std::string::npos) << "stays: " << after;
        if (c.row.empty()) {
            EXPECT_EQ(after.find("Families\\Dale"), std::string::npos) << after;
        } else {
            EXPECT_NE(after.find(named(c.row)), std::string::npos) << after;
        }
        if (c.status != 0) {
            EXPECT_EQ(after, before) << "a refusal changes nothing";
        }
    }
}

// A command whose every registry and file call is made to fail in turn: the collection is either
// as it was or changed entirely, and status 0 comes only with the whole change. One sweep per
// command, each its own test so that they run side by side.
struct FailingCommand {
    std::vector<std::string> arguments;
    bool moved; // run on the folder moved away, as Locate Folder needs
};

void PrintTo(const FailingCommand& command, std::ostream* out) {
    *out << "oxlo";
    for (const std::string& argument : command.arguments) *out << ' ' << argument;
}

class CliEntryCommandFaults : public CliEntryCommands,
                              public ::testing::WithParamInterface<FailingCommand> {};

TEST_P(CliEntryCommandFaults, AFailingStepNeverEndsInSuccessNorInHalfAChange) {
    const FailingCommand& c = GetParam();
    std::string before, changed;
    std::vector<std::string> arguments;
    const auto prepare = [&] {
        SetUp();
        const std::string moved = folder_ + "\\Moved";
        if (c.moved) fs::rename(hostPath(dales_), hostPath(moved));
        arguments = c.arguments;
        for (std::string& argument : arguments)
            if (argument == "MOVED") argument = moved;
        before = collection();
    };
    int status = 0;
    const auto check = [&](const FaultRun& run) {
        const std::string after = collection();
        if (run.failingCall == 0) {
            ASSERT_EQ(status, 0) << err;
            ASSERT_NE(after, before);
            changed = after;
            return;
        }
        if (status == 0) EXPECT_EQ(after, changed) << "success for the whole change only";
        else EXPECT_TRUE(after == before || after == changed) << before << after << changed;
    };
    const FaultRunTotals totals =
        runFailingEachCall(prepare, [&] { status = run(arguments); }, check);
    EXPECT_GT(totals.runs, 5);
    countInjectedRuns("oxlo " + c.arguments.front(), totals.runs);
}

INSTANTIATE_TEST_SUITE_P(Commands, CliEntryCommandFaults,
                         ::testing::Values(
                             FailingCommand{{"edit", "Dales", "--name", "Dale"}, false},
                             FailingCommand{{"locate", "Dales", "MOVED"}, true},
                             FailingCommand{{"remove-entry", "Dales", "--yes"}, true},
                             FailingCommand{{"fix-typ", "Dales"}, false}),
                         [](const auto& info) {
                             std::string name = info.param.arguments.front();
                             std::erase(name, '-');
                             return name;
                         });

} // namespace
} // namespace oxlo::testing
