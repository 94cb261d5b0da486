// Move Mapset's tests start from mkgmap's Hills (tests/data/ready) registered as a family in the
// test folder, with a Windows Uninstall entry naming its folder as an installer leaves one, and an
// empty folder to move it into.
#pragma once

#include "catalogue/install_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "platform/registry.h"

namespace oxlo::testing {

inline const std::string kUninstallEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Oxlo test Hills";

class MoveTest : public InstallTest {
protected:
    void SetUp() override
    {
        InstallTest::SetUp();
        platform::deleteRegistryTree(platform::kLocalMachine, kUninstallEntry);
        hills_ = ready("Hills");
        target_ = folder_ + "\\Target";
        std::filesystem::create_directories(hostPath(target_));
        moved_ = target_ + "\\Hills";
        addFamily("Hills", platform::kRegBinary, {0x75, 0x17}, hills_, hills_ + "\\Hills.tdb");
        putText(kFamilies + "\\Hills\\1", "BMAP", hills_ + "\\Hills.img");
        putText(kFamilies + "\\Hills", "TYP", hills_ + "\\hills.typ");
        putText(kFamilies + "\\Hills", "IDX", hills_ + "\\Hills.mdx");
        putText(kFamilies + "\\Hills", "MDR", hills_ + "\\Hills_mdr.img");
        putText(kUninstallEntry, "DisplayName", "Hills");
        putText(kUninstallEntry, "InstallLocation", hills_);
        putText(kUninstallEntry, "UninstallString", "\"" + hills_ + "\\uninstall.exe\" /S");
        catalogue::scanInstalledMapsets();
    }
    void TearDown() override
    {
        platform::deleteRegistryTree(platform::kLocalMachine, kUninstallEntry);
        InstallTest::TearDown();
    }
    // Hills' row in the last scan (rows come in name order).
    static int hillsRow()
    {
        for (int row = 1; row <= catalogue::mapsetCount; ++row)
            if (catalogue::installedMapsets[row].keyName == "Hills") return row;
        return 0;
    }
    // Hills' files: what its entry names and the two maps its .TDB lists.
    static std::vector<std::string> hillsFiles()
    {
        return {"Hills.tdb", "Hills.img", "hills.typ", "Hills.mdx", "Hills_mdr.img",
                "63250001.img", "63250002.img"};
    }
    // The entry's path values, where they stand in the key.
    static std::vector<std::string> entryPaths()
    {
        const std::string files = kFamilies + "\\Hills\\1";
        return {*textValue(files, "LOC"), *textValue(files, "TDB"), *textValue(files, "BMAP"),
                *textValue(kFamilies + "\\Hills", "TYP"), *textValue(kFamilies + "\\Hills", "IDX"),
                *textValue(kFamilies + "\\Hills", "MDR")};
    }
    static std::vector<std::string> pathsIn(const std::string& folder)
    {
        return {folder, folder + "\\Hills.tdb", folder + "\\Hills.img", folder + "\\hills.typ",
                folder + "\\Hills.mdx", folder + "\\Hills_mdr.img"};
    }
    // The bytes of a Hills file as mkgmap made it.
    static std::string original(const std::string& name)
    {
        return readWholeFile(std::filesystem::path(OXLO_TEST_DATA) / "ready" / "Hills" / name)
            .value_or("");
    }

    // Each of `names` in `folder` holds the bytes mkgmap wrote.
    static void expectFilesOf(const std::string& folder, const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            EXPECT_EQ(hostFileText(folder + "\\" + name), original(name)) << folder << " " << name;
    }

    std::string hills_, target_, moved_;
};

} // namespace oxlo::testing
