// The .reg files that Oxlo writes, imported by Wine's own regedit as a double-click would: the key
// comes back value by value, in the 32-bit view where MapSource reads it. Windows builds only.
#include "catalogue/backup_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_file.h"
#include "catalogue/uninstall.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
namespace scripted = oxlo::platform::scripted;

const std::string kAlps = kFamilies + "\\Alps";

// `regedit /s FILE`, waiting for its end.
void importWithRegedit(const std::string& file)
{
    const ProgramHandle regedit =
        runProgram("regedit.exe", "/s \"" + file + "\"", "", kRunKeepHandle | kRunPipeOutput);
    ASSERT_NE(regedit, 0);
    while (programRunning(regedit) == 1) readProgramOutput(regedit);
    releaseProgram(regedit);
}

catalogue::RegistryTree alpsNow()
{
    const auto tree = catalogue::readRegistryTree(kLocalMachine, kAlps);
    return tree ? *tree : catalogue::RegistryTree{};
}

class RegistryImport : public BackupTest {
protected:
    void SetUp() override
    {
        BackupTest::SetUp();
        putValue(kAlps, "ID", kRegBinary, {0x71, 0x17});
        putText(kAlps, "TYP", "C:\\Maps\\\"Alps\" 1.TYP");
        putValue(kAlps, "Path", kRegExpandSz, textBytes("%SystemRoot%\\Alps"));
        putValue(kAlps, "List", kRegMultiSz, {'a', 0, 'b', 'c', 0, 0});
        putValue(kAlps, "Count", kRegDword, {0x78, 0x56, 0x34, 0x12});
        putValue(kAlps, "Long", kRegBinary, std::vector<unsigned char>(100, 0xAB));
        putText(kAlps + "\\1", "LOC", folder_ + "\\Alps");
        putText(kAlps + "\\1", "TDB", makeTdb("Alps\\Alps.TDB", 7));
        putText(kAlps + "\\1\\Deeper", "", "default value");
    }
};

TEST_F(RegistryImport, ASavedEntryComesBackExactlyAfterItWasDeletedOrChanged)
{
    const catalogue::RegistryTree before = alpsNow();
    const std::string file = folder_ + "\\Alps.reg";
    ASSERT_TRUE(catalogue::saveRegistryKey(kAlps, file));
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"deleted", [] { cleanMapsource(); }},
        {"changed", [] {
             putText(kAlps + "\\1", "LOC", "D:\\Elsewhere");
             putText(kAlps + "\\1", "Extra", "not in the copy");
             putKey(kAlps + "\\2");
         }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        change();
        ASSERT_FALSE(catalogue::sameRegistryTree(alpsNow(), before));
        importWithRegedit(file);
        EXPECT_TRUE(catalogue::sameRegistryTree(alpsNow(), before));
        EXPECT_EQ(rawValue(kAlps, "Path")->bytes, textBytes("%SystemRoot%\\Alps"));
        EXPECT_EQ(rawValue(kAlps, "List")->type, kRegMultiSz);
    }
}

TEST_F(RegistryImport, TheCopyOfAnUninstallPutsTheMapsetBack)
{
    const catalogue::RegistryTree before = alpsNow();
    catalogue::scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerYes); // uninstall
    scripted::answerNextMessage(kAnswerNo);  // keep the files
    scripted::answerNextMessage(kAnswerOk);
    catalogue::uninstallMapset(1);
    ASSERT_FALSE(keyExists(kAlps));
    const auto names = copies();
    ASSERT_EQ(names.size(), 1u);
    importWithRegedit(catalogue::backupFolder() + "\\" + names[0]);
    EXPECT_TRUE(catalogue::sameRegistryTree(alpsNow(), before));
    catalogue::scanInstalledMapsets();
    EXPECT_EQ(listRows(), std::vector<std::string>{"FID6001|Alps"});
}

} // namespace
} // namespace oxlo::testing
