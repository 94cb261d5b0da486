// oxlo.com, the console program, under Wine against the real registry and files: every command's
// exit status and messages, `list --json` parsed, a usage error, install of a folder mkgmap made,
// create with the stand-in cgpsmapper, export with the stand-in java.exe, attr on the test maps,
// backup and uninstall with the copy it keeps, names beyond ASCII, and edit. Administrator
// rights are always there under Wine; the native tests cover the refusal without them.
#include "catalogue_fixture.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace oxlo::e2e {
namespace {

struct OxloRun {
    DWORD status = 0;
    std::string out;
    std::vector<std::string> messages; // the "oxlo: " lines of standard error, without Wine's
    std::string err;
};

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A new file that a started program can write as its standard output or error.
Handle inheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make " + path);
    return Handle(file);
}

std::wstring wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

class CommandLine : public CatalogueEndToEndTest {
protected:
    // oxlo.com (beside oxlo.exe) run in the working folder, its output caught in files.
    OxloRun oxlo(const std::string& arguments) {
        std::string com = requiredEnvironment("OXLO_EXE");
        com.replace(com.size() - 4, 4, ".com");
        // Files of their own for each run: Wine's console host may still hold the last ones.
        const std::string number = std::to_string(++runs_);
        const std::string outFile = workFolder() + "\\out" + number + ".txt";
        const std::string errFile = workFolder() + "\\err" + number + ".txt";
        OxloRun run;
        {
            const Handle out = inheritableFile(outFile), err = inheritableFile(errFile);
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = out.get();
            startup.hStdError = err.get();
            PROCESS_INFORMATION process{};
            // Wide, as a console passes any name: the arguments are UTF-8 here.
            std::wstring commandLine = wide("\"" + com + "\" " + arguments);
            if (!CreateProcessW(wide(com).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                CREATE_NO_WINDOW, nullptr, wide(workFolder()).c_str(), &startup,
                                &process))
                throw std::runtime_error("cannot start " + com);
            const Handle thread(process.hThread), child(process.hProcess);
            if (WaitForSingleObject(child.get(), 60000) != WAIT_OBJECT_0)
                throw std::runtime_error("oxlo " + arguments + " did not end");
            GetExitCodeProcess(child.get(), &run.status);
        }
        run.out = fileText(outFile);
        run.err = fileText(errFile);
        std::istringstream lines(run.err);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("oxlo: ", 0) == 0) run.messages.push_back(line.substr(6));
        }
        return run;
    }
    std::set<std::string> listedKeys() {
        const OxloRun list = oxlo("list --json");
        EXPECT_EQ(list.status, 0u) << list.err;
        std::set<std::string> keys;
        for (const auto& row : nlohmann::json::parse(list.out)) {
            EXPECT_EQ(row["kind"], "family");
            EXPECT_TRUE(row["problems"].empty()) << row.dump();
            keys.insert(row["key"].get<std::string>());
        }
        return keys;
    }
    static bool says(const OxloRun& run, const std::string& message) {
        return std::find(run.messages.begin(), run.messages.end(), message) != run.messages.end();
    }
    void copyFolder(const std::string& from, const std::string& to,
                    const std::vector<std::string>& files) {
        makeEmptyFolder(to);
        for (const std::string& file : files) copyFile(from + "\\" + file, to + "\\" + file);
    }
    int runs_ = 0;
};

TEST_F(CommandLine, EveryCommandWithItsExitStatus) {
    const std::string work = workFolder();
    OxloRun run = oxlo("bogus");
    EXPECT_EQ(run.status, 2u);
    EXPECT_NE(run.err.find("Usage: oxlo"), std::string::npos) << run.err;
    run = oxlo("install");
    EXPECT_EQ(run.status, 2u);
    EXPECT_NE(run.err.find("Usage: install"), std::string::npos) << run.err;
    EXPECT_EQ(listedKeys(), std::set<std::string>{});

    const std::string hills = work + "\\Hills";
    copyFolder(data_ + "\\ready\\Hills", hills, {"Hills.tdb", "Hills.img", "63250001.img",
                                                 "63250002.img", "Hills.mdx", "Hills_mdr.img",
                                                 "hills.typ"});
    run = oxlo("install Hills");
    EXPECT_EQ(run.status, 1u);
    EXPECT_TRUE(says(run, "Install mapset Hills (family ID 6005) from " + hills +
                              "? (answer with --yes)")) << run.err;
    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Hills"));
    // As an install.bat writes it: "%~dp0" ends in a backslash, which escapes the quote after it
    // and so holds it in the argument.
    run = oxlo("install --yes \"" + hills + "\\\"");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.messages, std::vector<std::string>{"Mapset Installed."});
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Hills\\1", "LOC"), hills);

    // create with the stand-in cgpsmapper, found in the current folder as the window finds it.
    for (const char* tool : {"cgpsmapper.exe", "cpreview.exe"})
        copyFile(requiredEnvironment("OXLO_E2E_STANDINS") + "\\" + tool, work + "\\" + tool);
    makeEmptyFolder(work + "\\maps");
    copyFile(data_ + "\\village-opaque.img", work + "\\maps\\12345678.img");
    run = oxlo("create Alps maps\\12345678.img --compiler cgpsmapper --folder \"" + work +
               "\\Alps\" --family-id 6001 --yes");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_NE(run.err.find("Copying 1 of 1: 12345678.img"), std::string::npos) << run.err;
    EXPECT_EQ(listedKeys(), (std::set<std::string>{"Families\\Alps", "Families\\Hills"}));
    run = oxlo("check");
    EXPECT_EQ(run.status, 0u) << run.out << run.err;

    // export with the stand-in java.exe and an mkgmap.jar in the current folder.
    makeEmptyFolder(work + "\\jre\\bin");
    copyFile(requiredEnvironment("OXLO_E2E_STANDINS") + "\\java.exe",
             work + "\\jre\\bin\\java.exe");
    std::ofstream(work + "\\mkgmap.jar") << "jar";
    SetEnvironmentVariableA("JAVA_HOME", (work + "\\jre").c_str());
    makeEmptyFolder(work + "\\Out");
    run = oxlo("export FID6005 Out");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out, work + "\\Out\\Hills.gmap\n");
    EXPECT_TRUE(fileExists(work + "\\Out\\Hills.gmap\\Info.xml"));

    copyFile(data_ + "\\village-transparent.img", work + "\\village.img");
    run = oxlo("attr village.img --priority 9 --transparent no --yes");
    EXPECT_EQ(run.status, 0u) << run.err;
    run = oxlo("attr village.img");
    EXPECT_EQ(run.out, "village.img: priority 9, transparent no\n");

    run = oxlo("backup Hills");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_NE(fileText(run.out.substr(0, run.out.find('\n'))).size(), 0u) << run.out;
    run = oxlo("uninstall Families\\Alps --delete-files --yes");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_TRUE(says(run, "Uninstall Successful.")) << run.err;
    EXPECT_FALSE(fileExists(work + "\\Alps\\Alps.tdb"));
    WIN32_FIND_DATAA found;
    const std::string copies =
        requiredEnvironment("LOCALAPPDATA") + "\\Oxlo\\Backups\\* Families-Alps.reg";
    const HANDLE search = FindFirstFileA(copies.c_str(), &found);
    EXPECT_NE(search, INVALID_HANDLE_VALUE) << "no copy " << copies;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    EXPECT_EQ(listedKeys(), std::set<std::string>{"Families\\Hills"});
    run = oxlo("uninstall Alps --yes");
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.messages, std::vector<std::string>{"no mapset is named Alps."});

    // Names beyond ASCII, from the wide command line to UTF-8 output and back. cGPSmapper takes
    // the ANSI code page's letters only, and the stand-ins read their names as it does.
    run = oxlo("create \"Łódź\" maps\\12345678.img --compiler cgpsmapper --yes");
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.messages, std::vector<std::string>{"Łódź has letters that cGPSmapper cannot take. "
                                                     "Please choose another name, or mkgmap as "
                                                     "the compiler."});
    const std::string name = "Österreich Süd";
    run = oxlo("create \"" + name + "\" maps\\12345678.img --compiler cgpsmapper --folder \"" +
               work + "\\" + name + "\" --family-id 6002 --yes");
    EXPECT_EQ(run.status, 0u) << run.err;
    // cpreview.exe read the name in its control file in the ANSI code page, as its output says.
    EXPECT_NE(run.err.find("Wrote " + name + ".mp"), std::string::npos) << run.err;
    EXPECT_EQ(listedKeys(), (std::set<std::string>{"Families\\Hills", "Families\\" + name}));
    run = oxlo("uninstall \"" + name + "\" --yes");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_TRUE(says(run, "Uninstall Successful.")) << run.err;
    EXPECT_EQ(listedKeys(), std::set<std::string>{"Families\\Hills"});

    // edit as the Edit Mapset window: the family ID in the registry, .TDB, index and TYP file.
    run = oxlo("edit Hills --family-id 6015");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.messages, std::vector<std::string>{"Mapset edited."});
    run = oxlo("check FID6015");
    EXPECT_EQ(run.status, 0u) << run.out << run.err;
    run = oxlo("edit Hills --family-id 70000");
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.messages, std::vector<std::string>{"Family IDs range from 1 to 65534. Please "
                                                     "select a number in that range."});
}

TEST_F(CommandLine, MoveTakesTheMapsetIntoAnotherFolderAndBack) {
    const std::string work = workFolder();
    const std::string hills = work + "\\Hills";
    copyFolder(data_ + "\\ready\\Hills", hills, {"Hills.tdb", "Hills.img", "63250001.img",
                                                 "63250002.img", "Hills.mdx", "Hills_mdr.img",
                                                 "hills.typ"});
    ASSERT_EQ(oxlo("install --yes Hills").status, 0u);
    makeEmptyFolder(work + "\\Big");
    const std::string moved = work + "\\Big\\Hills";
    OxloRun run = oxlo("move Hills Big");
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.messages,
              std::vector<std::string>{"Move mapset Hills from " + hills + " to " + moved +
                                       "? Its files are copied, checked, and then go from " +
                                       hills + " to the Recycle Bin. (answer with --yes)"});
    run = oxlo("move Hills Big --yes");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_NE(run.err.find("Moving Hills: 7 of 7 files"), std::string::npos) << run.err;
    EXPECT_TRUE(says(run, "Mapset Hills moved to " + moved + ".")) << run.err;
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Hills\\1", "LOC"), moved);
    EXPECT_TRUE(fileExists(moved + "\\Hills_mdr.img"));
    EXPECT_FALSE(fileExists(hills + "\\Hills.tdb"));
    EXPECT_EQ(listedKeys(), std::set<std::string>{"Families\\Hills"}) << "no problems after it";
    // Back, and refused where it already is.
    run = oxlo("move Hills \"" + work + "\" --yes");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Hills\\1", "LOC"), hills);
    run = oxlo("move Hills \"" + work + "\" --yes");
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.messages, std::vector<std::string>{"Mapset Hills is in " + hills + " already."});
}

} // namespace
} // namespace oxlo::e2e
