// The rewrite of the overview source: which [RGN40] sections stay, go or are cut.
#include "builder_test_support.h"

#include "builder/mapset_build.h"
#include "platform/services.h"
#include "support/folder_test.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace oxlo::testing {
namespace {

class OverviewFilterTest : public FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        ASSERT_NE(platform::setCurrentDirectory(folder_), 0);
    }

    // Filters a source made of `lines` (joined by `lineEnd`) and gives the lines written back.
    std::vector<std::string> filter(const std::vector<std::string>& lines,
                                    const std::string& lineEnd = "\r\n") {
        std::string text;
        for (const std::string& line : lines) text += line + lineEnd;
        writeFileText(folder_ + "\\Alps.mp", text);
        builder::filterOverviewSource("Alps");
        EXPECT_FALSE(fileExists(folder_ + "\\Alps.tmp")) << "the scratch copy must go";
        const std::string result = fileText(folder_ + "\\Alps.mp");
        EXPECT_TRUE(result.empty() || result.substr(result.size() - 2) == "\r\n")
            << "every line ends in CR LF";
        return crlfLines(result);
    }
    using Lines = std::vector<std::string>;
};

TEST_F(OverviewFilterTest, SectionsKeptDroppedAndCut) {
    struct Case {
        const char* what;
        Lines input;
        Lines output;
    };
    const Case cases[] = {
        {"plain section kept", {"[RGN40]", "Type=0x4a", "[END]"}, {"[RGN40]", "Type=0x4a", "[END]"}},
        {"Type=6 first: gone", {"[RGN40]", "Type=6", "Label=x", "[END]"}, {}},
        {"Type=7 first: gone", {"[RGN40]", "Type=7", "[END]"}, {}},
        {"Type=7 later: cut", {"[RGN40]", "Label=x", "Type=7", "[END]"}, {"[RGN40]", "Label=x"}},
        {"small-letter header", {"[rgn40]", "Type=6", "[END]"}, {}},
        {"small-letter header kept", {"[Rgn40]", "Type=0x4a", "[END]"},
         {"[Rgn40]", "Type=0x4a", "[END]"}},
        {"types compare case-sensitively", {"[RGN40]", "type=6", "[END]"},
         {"[RGN40]", "type=6", "[END]"}},
        {"anywhere in the line", {"[RGN40]", "Label=a Type=60 b", "[END]"}, {}},
        {"other sections untouched", {"[RGN80]", "Type=6", "[END]"}, {"[RGN80]", "Type=6", "[END]"}},
        {"empty section", {"[RGN40]", "[END]"}, {"[RGN40]", "[END]"}},
        {"cut off after lines: kept as read", {"[RGN40]", "Type=0x4a", "Label=y"},
         {"[RGN40]", "Type=0x4a", "Label=y"}},
        {"cut off after the header: kept", {"[IMG ID]", "[RGN40]"}, {"[IMG ID]", "[RGN40]"}},
        {"dropped section cut off", {"[RGN40]", "Type=6", "Label=z"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(filter(c.input), c.output);
    }
}

TEST_F(OverviewFilterTest, AWholeSourceKeepsEveryOtherLineInOrder) {
    const Lines input = {"[IMG ID]",  "Name=Alps", "[END-IMG ID]", "",        "[RGN40]",
                         "Type=0x4a", "Label=A",   "[END]",        "[RGN40]", "Type=6",
                         "Label=B",   "[END]",     "",             "[RGN40]", "Label=C",
                         "Type=7",    "Data0=(1,2)", "[END]",      "[POI]",   "Type=0x2f",
                         "[END]"};
    const Lines expected = {"[IMG ID]", "Name=Alps", "[END-IMG ID]", "",       "[RGN40]",
                            "Type=0x4a", "Label=A",  "[END]",        "",       "[RGN40]",
                            "Label=C",  "[POI]",     "Type=0x2f",    "[END]"};
    EXPECT_EQ(filter(input), expected);
    EXPECT_EQ(filter(input, "\n"), expected) << "LF line ends are read too, and written as CR LF";
}

TEST_F(OverviewFilterTest, SourceThatCannotBeOpenedIsReportedAndLeftAlone) {
    std::filesystem::create_directories(hostPath(folder_ + "\\Alps.mp"));
    platform::scripted::answerNextMessage(platform::kAnswerOk);
    builder::filterOverviewSource("Alps");
    EXPECT_EQ(textsAndFlags("ERROR"), (Shown{{"\"Alps.mp\"", 0}}));
    EXPECT_TRUE(folderExists(folder_ + "\\Alps.mp"));
}

} // namespace
} // namespace oxlo::testing
