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

// Deletes a tree in one view directly with the Win32 API (not with the code under test), by
// the wide functions: names may be in any script.
void removeTree(REGSAM view, const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    wchar_t name[256];
    for (;;) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        removeTree(view, path + L"\\" + name);
    }
    RegCloseKey(key);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
}

void removeTree(REGSAM view, const std::string& path)
{
    removeTree(view, std::wstring(path.begin(), path.end())); // ASCII
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

// The registry holds names and texts as UTF-16: what Oxlo writes in UTF-8 is there in the
// characters meant (for regedit, MapSource and every other reader), and what others write in
// UTF-16 reads as its UTF-8, sizes in UTF-8 bytes.
TEST_F(RegistryView, NamesAndTextsAreUtf16InTheRegistryAndUtf8InOxlo)
{
    const std::string key = std::string(kBase) + "\\Families\\Карты ソ表";
    const std::wstring wideKey = L"SOFTWARE\\Garmin\\Mapsource\\Families\\\u041a\u0430\u0440\u0442\u044b \u30bd\u8868";
    ASSERT_EQ(createRegistryKey(kLocalMachine, key, ""), 1);
    ASSERT_EQ(writeRegistryValue(kLocalMachine, key, "Łódź", "C:\\Карты\\ソ表", kValueText, ""), 1);

    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, wideKey.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                            &opened), ERROR_SUCCESS);
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(RegQueryValueExW(opened, L"\u0141\u00f3d\u017a", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(text), L"C:\\\u041a\u0430\u0440\u0442\u044b\\\u30bd\u8868");
    const std::wstring written = L"\u0417\u0430\u043f\u0430\u0434";
    RegSetValueExW(opened, L"West", 0, REG_SZ, reinterpret_cast<const BYTE*>(written.c_str()),
                   static_cast<DWORD>((written.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);

    EXPECT_EQ(readRegistryValue(kLocalMachine, key, "West", ""), "Запад");
    OwnedRegistryKey again;
    ASSERT_EQ(registryOpenKey(kLocalMachine, key, RegistryAccess::Read, again.receive()), kRegistryOk);
    unsigned type = 0;
    unsigned bytes = 0;
    EXPECT_EQ(registryQueryValue(again.get(), "West", &type, nullptr, &bytes), kRegistryOk);
    EXPECT_EQ(bytes, std::string("Запад").size() + 1);
    char small[4];
    bytes = sizeof small;
    EXPECT_EQ(registryQueryValue(again.get(), "West", &type, small, &bytes), kRegistryMoreData);
    EXPECT_EQ(bytes, std::string("Запад").size() + 1);
}

} // namespace
