// Oxlo is a 64-bit program, MapSource a 32-bit one: everything Oxlo writes, reads and deletes
// must be in the 32-bit registry view, and nothing may land in the 64-bit view.
#include "platform/registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace oxlo::platform;

const char* const kBase = "SOFTWARE\\Garmin\\Mapsource";
const std::string kAlps = std::string(kBase) + "\\Families\\ViewTestAlps";

// Deletes a tree in one view directly with the Win32 API (not with the code under test).
void removeTree(REGSAM view, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        removeTree(view, path + "\\" + name);
    }
    RegCloseKey(key);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
}

bool existsIn(REGSAM view, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::string textIn(REGSAM view, const std::string& path, const char* value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) !=
        ERROR_SUCCESS) {
        return "(no key)";
    }
    char data[256] = {};
    DWORD size = sizeof data - 1;
    const LONG status = RegQueryValueExA(key, value, nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(data) : "(no value)";
}

void putTextIn(REGSAM view, const std::string& path, const char* value, const std::string& text)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

class RegistryView : public ::testing::Test {
protected:
    void SetUp() override { clean(); }
    void TearDown() override { clean(); }
    static void clean()
    {
        removeTree(KEY_WOW64_32KEY, kBase);
        removeTree(KEY_WOW64_64KEY, kBase);
        ASSERT_FALSE(existsIn(KEY_WOW64_32KEY, kBase));
        ASSERT_FALSE(existsIn(KEY_WOW64_64KEY, kBase));
    }
};

TEST_F(RegistryView, WritesLandWhereA32BitProgramReadsAndNowhereElse)
{
    ASSERT_EQ(sizeof(void*), 8u) << "this test is meant for the 64-bit Oxlo";
    ASSERT_EQ(createRegistryKey(kLocalMachine, kAlps + "\\1", ""), 1);
    ASSERT_EQ(writeRegistryValue(kLocalMachine, kAlps + "\\1", "LOC", "C:\\Maps\\Alps", kValueText,
                                 ""),
              1);

    EXPECT_EQ(textIn(KEY_WOW64_32KEY, kAlps + "\\1", "LOC"), "C:\\Maps\\Alps");
    EXPECT_FALSE(existsIn(KEY_WOW64_64KEY, kBase));
}

TEST_F(RegistryView, ReadsAndDeletesSeeOnlyThe32BitView)
{
    putTextIn(KEY_WOW64_64KEY, kAlps, "LOC", "64-bit view");
    EXPECT_EQ(readRegistryValue(kLocalMachine, kAlps, "LOC", ""), "");

    putTextIn(KEY_WOW64_32KEY, kAlps, "LOC", "32-bit view");
    putTextIn(KEY_WOW64_32KEY, kAlps + "\\1", "TDB", "C:\\Maps\\Alps\\Alps.TDB");
    EXPECT_EQ(readRegistryValue(kLocalMachine, kAlps, "LOC", ""), "32-bit view");

    EXPECT_EQ(deleteRegistryTree(kLocalMachine, kAlps), 1);
    EXPECT_FALSE(existsIn(KEY_WOW64_32KEY, kAlps));
    EXPECT_EQ(textIn(KEY_WOW64_64KEY, kAlps, "LOC"), "64-bit view");
}

} // namespace
