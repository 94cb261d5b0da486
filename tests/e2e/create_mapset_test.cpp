// Create Mapset as a user meets it: New, maps chosen in the real file dialog, a name, the
// questions, the stand-in tools run by the real oxlo.exe, and the new family in the main list,
// the registry and on disk. A second mapset whose compiler fails leaves the registry alone; a
// name that differs from a family only in letter case asks first and replaces it whole; a
// relative Custom folder is refused. With mkgmap: the Compiler list's start and choice, "Find
// mkgmap", Java missing, a mapset registered with its search index, and mkgmap's failure.
#include "e2e_test.h"

#include <algorithm>
#include <fstream>

namespace oxlo::e2e {
namespace {

constexpr milliseconds kBuildWait{30000};
const std::string kFamilies = "SOFTWARE\\Garmin\\Mapsource\\Families\\";

// Wine hands a list box's rows to another process only as wide text.
std::vector<std::string> listBoxRows(HWND list) {
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    std::vector<std::string> rows;
    for (DWORD_PTR row = 0; row < count; ++row) {
        wchar_t text[300] = {};
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, &length);
        char narrow[600] = {};
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        rows.emplace_back(narrow);
    }
    return rows;
}

void typeInto(HWND field, const std::string& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 2000, &ignored);
}

std::vector<unsigned char> binaryValue32(const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    std::vector<unsigned char> data;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle) !=
        ERROR_SUCCESS)
        return data;
    DWORD type = 0, size = 16;
    data.resize(size);
    if (RegQueryValueExA(handle, name.c_str(), nullptr, &type, data.data(), &size) == ERROR_SUCCESS &&
        type == REG_BINARY)
        data.resize(size);
    else
        data.clear();
    RegCloseKey(handle);
    return data;
}

void writeBinary32(const std::string& key, const std::string& name,
                   const std::vector<unsigned char>& bytes) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                              KEY_WRITE | KEY_WOW64_32KEY, nullptr, &handle, nullptr),
              ERROR_SUCCESS)
        << key;
    EXPECT_EQ(RegSetValueExA(handle, name.c_str(), 0, REG_BINARY, bytes.data(),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(handle);
}

// Names of a key's subkeys or values, as the registry spells them.
std::vector<std::string> names32(const std::string& key, bool values) {
    std::vector<std::string> names;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        DWORD length = sizeof name;
        const LONG status =
            values ? RegEnumValueA(handle, index, name, &length, nullptr, nullptr, nullptr, nullptr)
                   : RegEnumKeyExA(handle, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    RegCloseKey(handle);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<unsigned char> fileBytes(const std::string& path) {
    const std::string bytes = fileText(path);
    return {bytes.begin(), bytes.end()};
}

class CreateMapset : public EndToEndTest {
protected:
    void SetUp() override {
        prepareMapsAndCatalogue();
        // Oxlo looks for the tools in the folder it starts in.
        copyStandIn("cpreview.exe", workFolder() + "\\cpreview.exe");
        copyStandIn("cgpsmapper.exe", workFolder() + "\\cgpsmapper.exe");
        ASSERT_NO_FATAL_FAILURE(start());
    }
    void copyStandIn(const std::string& name, const std::string& to) {
        copyFile(requiredEnvironment("OXLO_E2E_STANDINS") + "\\" + name, to);
    }
    void prepareMapsAndCatalogue() {
        maps_ = workFolder() + "\\maps";
        makeEmptyFolder(maps_);
        const std::string data = requiredEnvironment("OXLO_E2E_DATA");
        copyFile(data + "\\village-opaque.img", maps_ + "\\12345678.IMG");
        copyFile(data + "\\village-transparent.img", maps_ + "\\87654321.IMG");
        copyFile(data + "\\village-opaque.img", maps_ + "\\abc.IMG");

        // Each test starts from an empty catalogue, whatever the one before it registered.
        for (const char* name : {"Alps", "Broken", "My Alps", "Tirol"})
            deleteRegistryTree32(HKEY_LOCAL_MACHINE, kFamilies + name);
    }
    void start() {
        oxlo_ = startOxlo();
        main_ = waitForMainWindow(oxlo_);
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(waitUntil([&] { return findControl(main_, "Static", "0 Installed Mapsets"); }));
    }
    // The rows of the rebuilt main window's list once it holds `count` rows; none when it does not
    // within the wait.
    std::vector<std::vector<std::string>> listedMapsets(int count) {
        if (rebuiltMainWindow() == nullptr) return {};
        HWND mainList = nullptr;
        if (!waitUntil([&] {
                mainList = findControl(main_, "SysListView32", "");
                return mainList && RemoteListView(mainList).rowCount() == count;
            }))
            return {};
        return RemoteListView(mainList).rows();
    }
    // The main window as it is rebuilt after the Create Mapset window has closed.
    HWND rebuiltMainWindow() {
        main_ = waitForTopLevelWindow(oxlo_.id(), kMainWindowTitle);
        return main_;
    }
    void TearDown() override {
        if (oxlo_.running()) oxlo_.terminate();
    }

    // New, then the Create Mapset window.
    HWND openCreateWindow() {
        clickButton(findControl(main_, "Button", "&New"));
        HWND window = waitForTopLevelWindow(oxlo_.id(), "Create Mapset");
        EXPECT_NE(window, nullptr) << "New opened no Create Mapset window";
        return window;
    }
    // Answers the next box, which must have this title and text, with `button`.
    void expectBox(const std::string& title, const std::string& text, int button,
                   milliseconds wait = kDefaultWait) {
        auto box = waitForMessageBox(oxlo_.id(), wait);
        ASSERT_TRUE(box.has_value()) << "no box \"" << text << "\"";
        EXPECT_EQ(box->title, title);
        EXPECT_EQ(box->text, text);
        answerMessageBox(*box, button);
        ASSERT_TRUE(waitForWindowGone(box->handle));
    }
    HWND nameField(HWND window) { return numberedControl(window, 4); }
    // The controls are created in the order of their numbers.
    HWND numberedControl(HWND window, std::size_t number) {
        const std::vector<Control> controls = listControls(window);
        return controls.size() > number ? controls[number].handle : nullptr;
    }
    void chooseMaps(HWND window, const std::vector<std::string>& names) {
        clickButton(findControl(window, "Button", "Select Maps"));
        HWND dialog = waitForFileDialog(oxlo_.id(), "Select Maps");
        ASSERT_NE(dialog, nullptr);
        chooseFiles(dialog, maps_, names);
        ASSERT_TRUE(waitForWindowGone(dialog));
    }
    // The step's end is Oxlo back in a message loop: a box it shows is up by then.
    void expectNoBox() {
        ASSERT_TRUE(waitForMessageLoop(main_)) << "Oxlo does not take messages";
        const auto box = findMessageBox(oxlo_.id());
        EXPECT_FALSE(box.has_value()) << *box;
        if (box) answerMessageBox(*box, box->buttons.front());
    }

    Process oxlo_;
    HWND main_ = nullptr;
    std::string maps_;
};

TEST_F(CreateMapset, AutoModeBuildsRegistersAndListsTheNewFamily) {
    HWND window = openCreateWindow();
    ASSERT_NE(window, nullptr);
    HWND list = findControl(window, "ListBox", "");
    ASSERT_NE(list, nullptr);

    clickButton(findControl(window, "Button", "Select Maps"));
    HWND dialog = waitForFileDialog(oxlo_.id(), "Select Maps");
    ASSERT_NE(dialog, nullptr);
    chooseFiles(dialog, maps_, {"12345678.IMG", "abc.IMG", "87654321.IMG"});
    expectBox("Create Mapset",
              "abc.IMG does not conform to the '99999999.IMG' naming convention. Creating a "
              "mapset with this map will cause uncertain effect for Mapsource. Map will be "
              "exluded.",
              IDOK);
    ASSERT_TRUE(waitUntil([&] { return listBoxRows(list).size() == 2; }));
    EXPECT_EQ(listBoxRows(list),
              (std::vector<std::string>{maps_ + "\\12345678.IMG", maps_ + "\\87654321.IMG"}));

    typeInto(nameField(window), "Alps");
    saveScreenshot(window, "create-mapset-window");
    clickButton(findControl(window, "Button", "Create Mapset"));
    expectBox("Create Mapset",
              "Oxlo will proceed to generate a Mapsource mapset. Your Windows registry will be "
              "updated. Proceed?",
              IDYES);
    expectBox("Create Mapset", "Mapset Created.", IDOK, kBuildWait);
    ASSERT_TRUE(waitForWindowGone(window)) << "the window stays open after a success";

    // The main window is built anew and rescanned.
    EXPECT_EQ(listedMapsets(1), (std::vector<std::vector<std::string>>{{"FID6001", "Alps"}}))
        << "the new mapset is not listed";
    EXPECT_NE(findControl(main_, "Static", "1 Installed Mapsets"), nullptr);

    // Auto mode made C:\Garmin and C:\Garmin\Oxlo on a machine that had neither.
    const std::string folder = "C:\\Garmin\\Oxlo\\Alps";
    const std::string key = kFamilies + "Alps";
    EXPECT_EQ(binaryValue32(key, "ID"), (std::vector<unsigned char>{0x71, 0x17}));
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "LOC"), folder);
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "TDB"), folder + "\\Alps.TDB");
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "BMAP"), folder + "\\Alps.IMG");
    EXPECT_FALSE(readRegistryString32(HKEY_LOCAL_MACHINE, key, "TYP").has_value());

    EXPECT_EQ(fileBytes(folder + "\\12345678.IMG"), fileBytes(maps_ + "\\12345678.IMG"));
    EXPECT_EQ(fileBytes(folder + "\\87654321.IMG"), fileBytes(maps_ + "\\87654321.IMG"));
    EXPECT_FALSE(fileExists(folder + "\\abc.IMG"));
    EXPECT_FALSE(fileExists(folder + "\\Oxlo.txt"));
    EXPECT_TRUE(fileExists(folder + "\\Alps.IMG"));
    EXPECT_TRUE(fileExists(folder + "\\Alps.mp"));
    const std::vector<unsigned char> index = fileBytes(folder + "\\Alps.TDB");
    ASSERT_GE(index.size(), 7u);
    EXPECT_EQ(index[0], 0x50);
    EXPECT_EQ(index[5], 0x71) << "family ID stamped at bytes 5 and 6";
    EXPECT_EQ(index[6], 0x17);
}

TEST_F(CreateMapset, FailingCompilerShowsItsOutputAndChangesNoRegistryKey) {
    // The stand-in compiler reads its orders in the mapset folder (an existing folder is fine).
    const std::string folder = "C:\\Garmin\\Oxlo\\Broken";
    makeEmptyFolder(folder);
    {
        std::ofstream orders(folder + "\\standin-control.txt");
        orders << "cgpsmapper fail\n";
    }
    deleteRegistryTree32(HKEY_LOCAL_MACHINE, kFamilies + "Broken");

    HWND window = openCreateWindow();
    ASSERT_NE(window, nullptr);
    clickButton(findControl(window, "Button", "Select Maps"));
    HWND dialog = waitForFileDialog(oxlo_.id(), "Select Maps");
    ASSERT_NE(dialog, nullptr);
    chooseFiles(dialog, maps_, {"12345678.IMG"});
    ASSERT_TRUE(waitForWindowGone(dialog));
    typeInto(nameField(window), "Broken");
    clickButton(findControl(window, "Button", "Create Mapset"));
    expectBox("Create Mapset",
              "Oxlo will proceed to generate a Mapsource mapset. Your Windows registry will be "
              "updated. Proceed?",
              IDYES);

    auto failure = waitForMessageBox(oxlo_.id(), kBuildWait);
    ASSERT_TRUE(failure.has_value()) << "no message after the build";
    EXPECT_EQ(failure->title, "Error");
    EXPECT_EQ(failure->text.rfind("Mapset Creation Failed!", 0), 0u) << failure->text;
    EXPECT_NE(failure->text.find("Error E006: cannot compile Broken.mp"), std::string::npos)
        << failure->text;
    saveScreenshot(failure->handle, "create-mapset-failed");
    answerMessageBox(*failure, IDOK);
    ASSERT_TRUE(waitForWindowGone(failure->handle));

    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Broken"));
    EXPECT_FALSE(fileExists(folder + "\\Broken.TDB"));
    // A failure takes back what the build wrote and leaves what was there before.
    EXPECT_FALSE(fileExists(folder + "\\Oxlo.txt"));
    EXPECT_FALSE(fileExists(folder + "\\12345678.IMG"));
    EXPECT_TRUE(fileExists(folder + "\\standin-control.txt"));
    // The window stays open with its inputs, its title back.
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(windowText(window), "Create Mapset");
    EXPECT_EQ(windowText(nameField(window)), "Broken");

    clickButton(findControl(window, "Button", "Cancel"));
    ASSERT_TRUE(waitForWindowGone(window));
    ASSERT_NE(rebuiltMainWindow(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return findControl(main_, "Static", "0 Installed Mapsets"); }))
        << "the main window is not rebuilt with an unchanged, empty catalogue";
}

TEST_F(CreateMapset, NameDifferingOnlyInCaseAsksAndYesReplacesTheWholeFamily) {
    // An installed family spelled ALPS, with a TYP file and a second product subkey.
    const std::string earlier = kFamilies + "ALPS";
    const std::string oldFolder = workFolder() + "\\old";
    makeEmptyFolder(oldFolder);
    writeBinary32(earlier, "ID", {0x64, 0x19}); // 6500
    writeRegistryString32(HKEY_LOCAL_MACHINE, earlier, "TYP", oldFolder + "\\old.typ");
    writeRegistryString32(HKEY_LOCAL_MACHINE, earlier + "\\1", "LOC", oldFolder);
    writeRegistryString32(HKEY_LOCAL_MACHINE, earlier + "\\1", "TDB", oldFolder + "\\ALPS.TDB");
    writeRegistryString32(HKEY_LOCAL_MACHINE, earlier + "\\1", "BMAP", oldFolder + "\\ALPS.IMG");
    writeRegistryString32(HKEY_LOCAL_MACHINE, earlier + "\\2", "LOC", oldFolder);

    HWND window = openCreateWindow();
    ASSERT_NE(window, nullptr);
    chooseMaps(window, {"12345678.IMG"});
    typeInto(nameField(window), "Alps");
    const std::string question = "There is already an existing mapset named Alps. You will be "
                                 "overwriting the existing mapset. Proceed?";
    clickButton(findControl(window, "Button", "Create Mapset"));
    expectBox("Create Mapset", question, IDNO);
    expectNoBox(); // No returns to the window
    EXPECT_EQ(names32(kFamilies, false), std::vector<std::string>{"ALPS"});
    EXPECT_EQ(names32(earlier, false), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(names32(earlier, true), (std::vector<std::string>{"ID", "TYP"}));
    EXPECT_FALSE(fileExists("C:\\Garmin\\Oxlo\\Alps\\Oxlo.txt")) << "nothing was built";

    clickButton(findControl(window, "Button", "Create Mapset"));
    expectBox("Create Mapset", question, IDYES);
    expectBox("Create Mapset",
              "Oxlo will proceed to generate a Mapsource mapset. Your Windows registry will be "
              "updated. Proceed?",
              IDYES);
    expectBox("Create Mapset", "Mapset Created.", IDOK, kBuildWait);
    ASSERT_TRUE(waitForWindowGone(window));

    // One family, spelled as typed, with nothing of the earlier one left on it.
    const std::string key = kFamilies + "Alps";
    EXPECT_EQ(names32(kFamilies, false), std::vector<std::string>{"Alps"});
    EXPECT_EQ(names32(key, false), std::vector<std::string>{"1"});
    EXPECT_EQ(names32(key, true), std::vector<std::string>{"ID"});
    EXPECT_EQ(binaryValue32(key, "ID"), (std::vector<unsigned char>{0x71, 0x17}));
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "LOC"),
              "C:\\Garmin\\Oxlo\\Alps");
    ASSERT_NE(rebuiltMainWindow(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return findControl(main_, "Static", "1 Installed Mapsets"); }));
}

TEST_F(CreateMapset, RelativeCustomFolderIsRefusedAndChangesNothing) {
    HWND window = openCreateWindow();
    ASSERT_NE(window, nullptr);
    clickButton(findControl(window, "Button", "Custom"));
    chooseMaps(window, {"12345678.IMG"});
    typeInto(nameField(window), "Alps");
    typeInto(numberedControl(window, 6), "maps\\Alps");
    typeInto(numberedControl(window, 9), "6100");
    clickButton(findControl(window, "Button", "Create Mapset"));
    expectBox("Create Mapset",
              "Oxlo will proceed to generate a Mapsource mapset. Your Windows registry will be "
              "updated. Proceed?",
              IDYES);
    auto refusal = waitForMessageBox(oxlo_.id());
    ASSERT_TRUE(refusal.has_value()) << "no refusal";
    EXPECT_EQ(refusal->title, "Create Mapset");
    EXPECT_EQ(refusal->text, "Please choose a full folder path, such as C:\\Garmin\\Maps.");
    saveScreenshot(refusal->handle, "create-mapset-relative-folder");
    answerMessageBox(*refusal, IDOK);
    ASSERT_TRUE(waitForWindowGone(refusal->handle));
    expectNoBox();

    EXPECT_TRUE(names32(kFamilies, false).empty()) << "no registry change";
    EXPECT_FALSE(fileExists(maps_ + "\\Alps")) << "nothing built beside Oxlo's folder";
    EXPECT_TRUE(IsWindow(window)) << "the window stays open for a correction";
    EXPECT_EQ(windowText(numberedControl(window, 6)), "maps\\Alps");
}

// Create Mapset with mkgmap: the stand-in java.exe (tests/standins/java.cpp) runs an empty
// mkgmap.jar, records its arguments in the mapset folder and writes what mkgmap writes.
class CreateMapsetMkgmap : public CreateMapset {
protected:
    void SetUp() override {
        prepareMapsAndCatalogue();
        javaHome_ = workFolder() + "\\jre";
        makeEmptyFolder(javaHome_ + "\\bin");
        copyStandIn("java.exe", javaHome_ + "\\bin\\java.exe");
        // Oxlo inherits the driver's environment: no Java until a test names it.
        SetEnvironmentVariableA("JAVA_HOME", nullptr);
    }
    void TearDown() override {
        SetEnvironmentVariableA("JAVA_HOME", nullptr);
        CreateMapset::TearDown();
    }
    void useJava() { SetEnvironmentVariableA("JAVA_HOME", javaHome_.c_str()); }
    static void writeJar(const std::string& path) { std::ofstream(path) << "stand-in"; }

    // Control 28; a closed drop-down's text is its selected entry.
    HWND compilerList(HWND window) {
        HWND list = numberedControl(window, 28);
        return list && windowClass(list) == "ComboBox" ? list : nullptr;
    }
    void pressCreateAndProceed(HWND window) {
        clickButton(findControl(window, "Button", "Create Mapset"));
        expectBox("Create Mapset",
                  "Oxlo will proceed to generate a Mapsource mapset. Your Windows registry will "
                  "be updated. Proceed?",
                  IDYES);
    }

    std::string javaHome_;
};

std::vector<std::string> fileLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(CreateMapsetMkgmap, OnlyMkgmapThereBuildsAMapsetWithItsSearchIndex) {
    const std::string jar = workFolder() + "\\mkgmap.jar";
    writeJar(jar);
    useJava();
    ASSERT_NO_FATAL_FAILURE(start());
    HWND window = openCreateWindow();
    ASSERT_NE(window, nullptr);
    HWND compiler = compilerList(window);
    ASSERT_NE(compiler, nullptr);
    EXPECT_EQ(dropDownEntries(compiler), (std::vector<std::string>{"cgpsmapper", "mkgmap"}));
    EXPECT_EQ(dropDownSelection(compiler), 1) << "no cgpsmapper.exe, but mkgmap.jar";
    EXPECT_NE(findControl(window, "Static", "Compiler"), nullptr);

    ASSERT_NO_FATAL_FAILURE(chooseMaps(window, {"12345678.IMG", "87654321.IMG"}));
    typeInto(nameField(window), "My Alps");
    saveScreenshot(window, "create-mapset-mkgmap");
    pressCreateAndProceed(window);
    expectBox("Create Mapset", "Mapset Created.", IDOK, kBuildWait);
    ASSERT_TRUE(waitForWindowGone(window));
    EXPECT_EQ(listedMapsets(1), (std::vector<std::vector<std::string>>{{"FID6001", "My Alps"}}))
        << "the new mapset is not listed in the rebuilt main window";

    // The command line as the stand-in java.exe received it.
    const std::string folder = "C:\\Garmin\\Oxlo\\My Alps";
    EXPECT_EQ(fileLines(folder + "\\standin-java-arguments.txt"),
              (std::vector<std::string>{
                  "-Dfile.encoding=UTF-8", "-jar", jar, "--output-dir=" + folder,
                  "--family-id=6001", "--product-id=1", "--family-name=My Alps",
                  "--series-name=My Alps", "--area-name=My Alps", "--overview-mapname=My Alps",
                  "--overview-mapnumber=60010000", "--tdbfile", "--index", "-c",
                  folder + "\\My Alps.mkgmap-args"}));

    const std::string key = kFamilies + "My Alps";
    EXPECT_EQ(binaryValue32(key, "ID"), (std::vector<unsigned char>{0x71, 0x17}));
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "LOC"), folder);
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "TDB"),
              folder + "\\My Alps.TDB");
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "BMAP"),
              folder + "\\My Alps.IMG");
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key, "IDX"), folder + "\\My Alps.mdx");
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key, "MDR"), folder + "\\My Alps_mdr.img");
    for (const char* file : {"My Alps.IMG", "My Alps.mdx", "My Alps_mdr.img", "12345678.IMG"}) {
        SCOPED_TRACE(file);
        EXPECT_TRUE(fileExists(folder + "\\" + file));
    }
    const std::vector<unsigned char> index = fileBytes(folder + "\\My Alps.TDB");
    ASSERT_GE(index.size(), 7u);
    EXPECT_EQ(index[3], 0x01) << "product 1";
    EXPECT_EQ(index[5], 0x71) << "family 6001";
    EXPECT_EQ(index[6], 0x17);
}

TEST_F(CreateMapsetMkgmap, ChosenMkgmapIsFoundByTheUserAndNeedsJava) {
    copyStandIn("cpreview.exe", workFolder() + "\\cpreview.exe");
    copyStandIn("cgpsmapper.exe", workFolder() + "\\cgpsmapper.exe");
    const std::string tools = workFolder() + "\\tools";
    makeEmptyFolder(tools);
    writeJar(tools + "\\mkgmap.jar");
    ASSERT_NO_FATAL_FAILURE(start());
    HWND window = openCreateWindow();
    ASSERT_NE(window, nullptr);
    HWND compiler = compilerList(window);
    ASSERT_NE(compiler, nullptr);
    EXPECT_EQ(dropDownSelection(compiler), 0) << "cgpsmapper.exe is there";
    chooseDropDownEntry(compiler, 1);
    ASSERT_NO_FATAL_FAILURE(chooseMaps(window, {"12345678.IMG"}));
    typeInto(nameField(window), "Tirol");

    // No mkgmap.jar where Oxlo looks: the user is asked, and cancelling ends the attempt.
    clickButton(findControl(window, "Button", "Create Mapset"));
    HWND find = waitForFileDialog(oxlo_.id(), "Find mkgmap");
    ASSERT_NE(find, nullptr);
    cancelDialog(find);
    ASSERT_TRUE(waitForWindowGone(find));
    ASSERT_TRUE(waitForMessageLoop(main_));
    EXPECT_FALSE(findMessageBox(oxlo_.id()).has_value()) << "a cancelled Find mkgmap goes on";

    // Found, but no Java: the build does not start, and the jar found is kept.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        clickButton(findControl(window, "Button", "Create Mapset"));
        if (attempt == 1) {
            find = waitForFileDialog(oxlo_.id(), "Find mkgmap");
            ASSERT_NE(find, nullptr);
            chooseFiles(find, tools, {"mkgmap.jar"});
        }
        expectBox("Create Mapset",
                  "mkgmap needs Java, which was not found. Please install a Java runtime or set "
                  "JAVA_HOME.",
                  IDOK);
    }
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(dropDownSelection(compiler), 1) << "the choice lasts while the window is open";
    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Tirol"));
    EXPECT_FALSE(fileExists("C:\\Garmin\\Oxlo\\Tirol")) << "nothing is built without Java";
    clickButton(findControl(window, "Button", "Cancel"));
    ASSERT_TRUE(waitForWindowGone(window));
}

TEST_F(CreateMapsetMkgmap, FailingMkgmapShowsItsOutputAndRegistersNothing) {
    writeJar(workFolder() + "\\mkgmap.jar");
    useJava();
    { std::ofstream(maps_ + "\\99999999.IMG") << "not a map"; }
    ASSERT_NO_FATAL_FAILURE(start());
    HWND window = openCreateWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_NO_FATAL_FAILURE(chooseMaps(window, {"12345678.IMG", "99999999.IMG"}));
    typeInto(nameField(window), "Broken");
    pressCreateAndProceed(window);

    auto failure = waitForMessageBox(oxlo_.id(), kBuildWait);
    ASSERT_TRUE(failure.has_value()) << "no message after the build";
    EXPECT_EQ(failure->title, "Error");
    EXPECT_EQ(failure->text.rfind("Mapset Creation Failed!", 0), 0u) << failure->text;
    EXPECT_NE(failure->text.find("SEVERE (global): could not open file Failed to create or open "
                                 "file C:\\Garmin\\Oxlo\\Broken\\99999999.IMG"),
              std::string::npos)
        << "mkgmap's standard error is shown: " << failure->text;
    saveScreenshot(failure->handle, "create-mapset-mkgmap-failed");
    answerMessageBox(*failure, IDOK);
    ASSERT_TRUE(waitForWindowGone(failure->handle));

    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Broken"));
    EXPECT_FALSE(fileExists("C:\\Garmin\\Oxlo\\Broken\\Broken.TDB"));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(windowText(window), "Create Mapset");
    clickButton(findControl(window, "Button", "Cancel"));
    ASSERT_TRUE(waitForWindowGone(window));
}

} // namespace
} // namespace oxlo::e2e
