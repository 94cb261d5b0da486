// Registry keys written as .reg files: every value type in regedit's own notation, and the copies
// kept before a key is changed.
#include "catalogue/backup_fixture.h"

#include "catalogue/registry_file.h"
#include "platform/portable/scripted_ui.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>


namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
namespace scripted = oxlo::platform::scripted;

using RegistryFile = CatalogueTest;

TEST_F(RegistryFile, EveryValueTypeIsWrittenAsRegeditReadsIt)
{
    const std::string key = kFamilies + "\\Alps";
    putValue(key, "ID", kRegBinary, {0x71, 0x17});
    putText(key, "TYP", "C:\\Maps\\\"Alps\".TYP");
    putValue(key, "", kRegSz, textBytes("default"));
    putValue(key, "Path", kRegExpandSz, textBytes("%SystemRoot%\\x"));
    putValue(key, "List", kRegMultiSz, {'a', 0, 'b', 'c', 0, 0});
    putValue(key, "Count", kRegDword, {0x78, 0x56, 0x34, 0x12});
    putValue(key, "Lines", kRegSz, {'a', '\r', '\n', 'b', 0});
    putValue(key, "Long", kRegBinary, std::vector<unsigned char>(30, 0xAB));
    putText(key + "\\1", "LOC", "C:\\Maps\\Alps");

    const std::string fileKey = "HKEY_LOCAL_MACHINE\\" + registryImportPath(key);
    // The key is deleted first, then written anew; its values follow in enumeration order.
    const std::string expected =
        "REGEDIT4\r\n\r\n[-" + fileKey + "]\r\n\r\n[" + fileKey + "]\r\n";
    const std::optional<catalogue::RegistryTree> tree =
        catalogue::readRegistryTree(kLocalMachine, key);
    ASSERT_TRUE(tree.has_value());
    const std::string text = catalogue::registryFileText(key, *tree);
    ASSERT_EQ(text.substr(0, expected.size()), expected);
    for (const std::string& line : std::vector<std::string>{
             "\"ID\"=hex:71,17\r\n", "\"TYP\"=\"C:\\\\Maps\\\\\\\"Alps\\\".TYP\"\r\n",
          "@=\"default\"\r\n",
          "\"Path\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,78,00\r\n",
          "\"List\"=hex(7):61,00,62,63,00,00\r\n", "\"Count\"=dword:12345678\r\n",
          "\"Lines\"=hex(1):61,0d,0a,62,00\r\n",
          // Long hex data goes on over lines ending in a backslash.
          "\"Long\"=hex:ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,"
          "ab,\\\r\n  ab,ab,ab,ab,ab\r\n",
          "\r\n[" + fileKey + "\\1]\r\n\"LOC\"=\"C:\\\\Maps\\\\Alps\"\r\n"}) {
        SCOPED_TRACE(line);
        EXPECT_NE(text.find(line), std::string::npos) << text;
    }
    EXPECT_TRUE(text.ends_with("\r\n\r\n"));
}

TEST_F(RegistryFile, ASavedKeyIsItsTextAndAMissingKeyLeavesNoFile)
{
    const std::string key = kFamilies + "\\Alps";
    putText(key + "\\1", "LOC", "C:\\Maps\\Alps");
    const std::string file = folder_ + "\\Alps.reg";
    ASSERT_TRUE(catalogue::saveRegistryKey(key, file));
    EXPECT_EQ(hostFileText(file),
              catalogue::registryFileText(key, *catalogue::readRegistryTree(kLocalMachine, key)));

    const std::string none = folder_ + "\\None.reg";
    EXPECT_FALSE(catalogue::saveRegistryKey(kFamilies + "\\None", none));
    EXPECT_FALSE(fileExists(none));
}

using RegistryBackup = BackupTest;

TEST_F(RegistryBackup, CopiesAreNamedByTimeAndKeyAndNeverReplaced)
{
    const std::string key = kFamilies + "\\Alps";
    putText(key + "\\1", "LOC", "C:\\Maps\\Alps");
    ASSERT_TRUE(catalogue::backUpKey("Families\\Alps", "Test"));
    ASSERT_TRUE(catalogue::backUpKey("Families\\Alps", "Test"));
    const auto names = copies();
    ASSERT_EQ(names.size(), 2u);
    // "YYYYMMDD-HHMMSS Families-Alps.reg", a second one in the same second with " (2)".
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ASSERT_GE(name.size(), 16u);
        EXPECT_EQ(name[8], '-');
        EXPECT_EQ(name.substr(15, 14), " Families-Alps");
        EXPECT_TRUE(name.ends_with(".reg"));
        EXPECT_EQ(copyText(name),
                  catalogue::registryFileText(key,
                                              *catalogue::readRegistryTree(kLocalMachine, key)));
    }
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(RegistryBackup, ACopyThatCannotBeWrittenIsReported)
{
    putText(kFamilies + "\\Alps\\1", "LOC", "C:\\Maps\\Alps");
    blockCopies();
    scripted::answerNextMessage(kAnswerOk);
    EXPECT_FALSE(catalogue::backUpKey("Families\\Alps", "Uninstall Mapset"));
    const auto messages = scripted::shownMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Uninstall Mapset");
    EXPECT_EQ(messages[0].text, "No copy of Families\\Alps could be saved, so it was not changed.");
    EXPECT_EQ(messages[0].flags, 0x30);
}

} // namespace
} // namespace oxlo::testing
