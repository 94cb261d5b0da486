#include "catalogue_fixture.h"

#include <fstream>

namespace oxlo::e2e {

void CatalogueEndToEndTest::SetUp()
{
    deleteRegistryTree32(HKEY_LOCAL_MACHINE, kMapsource);
    data_ = requiredEnvironment("OXLO_E2E_DATA");
}

void CatalogueEndToEndTest::TearDown()
{
    if (oxlo_.running()) {
        oxlo_.terminate();
    }
    deleteRegistryTree32(HKEY_LOCAL_MACHINE, kMapsource);
}

void CatalogueEndToEndTest::regAdd(const std::string& key, const std::string& valueArguments)
{
    Process reg = Process::start("C:\\windows\\system32\\reg.exe", workFolder(),
                                 "add \"HKLM\\" + key + "\" " + valueArguments + " /reg:32 /f");
    const auto exitCode = reg.waitForExit(milliseconds(20000));
    ASSERT_TRUE(exitCode.has_value()) << "reg add " << key << " did not end";
    ASSERT_EQ(*exitCode, 0u) << "reg add " << key << " " << valueArguments;
}

void CatalogueEndToEndTest::regAddText(const std::string& key, const std::string& name,
                                       const std::string& text)
{
    regAdd(key, "/v " + name + " /t REG_SZ /d \"" + text + "\"");
}

void CatalogueEndToEndTest::regAddFamily(const std::string& name, const std::string& idHex,
                                         const std::string& loc, const std::string& tdb)
{
    regAdd(kFamilies + name, "/v ID /t REG_BINARY /d " + idHex);
    regAddText(kFamilies + name + "\\1", "LOC", loc);
    regAddText(kFamilies + name + "\\1", "TDB", tdb);
}

std::string CatalogueEndToEndTest::makeMapsetFolder(const std::string& name, int code)
{
    const std::string folder = workFolder() + "\\" + name;
    makeEmptyFolder(folder);
    const std::string tdb = folder + "\\" + name + ".TDB";
    copyFile(data_ + "\\village.tdb", tdb);
    copyFile(data_ + "\\village-opaque.img", folder + "\\63240002.img");
    copyFile(data_ + "\\village-transparent.img", folder + "\\" + name + ".img");
    if (code != 152) {
        std::fstream file(tdb, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(3);
        file.put(static_cast<char>(code & 0xFF));
        file.put(static_cast<char>(code >> 8));
    }
    return folder;
}

HWND CatalogueEndToEndTest::waitForLabel(HWND window, const std::string& text)
{
    HWND label = nullptr;
    waitUntil([&] { return (label = findControl(window, "Static", text)) != nullptr; });
    return label;
}

HWND CatalogueEndToEndTest::startWithList(const std::string& label, HWND* window)
{
    oxlo_ = startOxlo();
    *window = waitForMainWindow(oxlo_);
    if (!*window) return nullptr;
    if (!waitForLabel(*window, label)) {
        ADD_FAILURE() << "no label " << label;
        return nullptr;
    }
    HWND list = findControl(*window, "SysListView32", "");
    if (!list) ADD_FAILURE() << "no list";
    return list;
}

HWND CatalogueEndToEndTest::waitForContextMenu()
{
    HWND menu = nullptr;
    waitUntil([&] {
        for (HWND candidate : topLevelWindows(oxlo_.id()))
            if (windowClass(candidate) == "#32768") menu = candidate;
        return menu != nullptr;
    });
    return menu;
}

MessageBoxInfo CatalogueEndToEndTest::expectBox(const std::string& title, const std::string& text,
                                                std::vector<int> buttons)
{
    auto box = waitForMessageBox(oxlo_.id());
    if (!box) {
        ADD_FAILURE() << "no box \"" << text << "\"";
        return {};
    }
    EXPECT_EQ(box->title, title);
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->buttons, buttons);
    return *box;
}

void CatalogueEndToEndTest::answer(const MessageBoxInfo& box, int button)
{
    ASSERT_NE(box.handle, nullptr);
    answerMessageBox(box, button);
    ASSERT_TRUE(waitForWindowGone(box.handle));
}

} // namespace oxlo::e2e
