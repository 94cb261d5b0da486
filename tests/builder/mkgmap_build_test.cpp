// Builds with mkgmap on the target's real files, processes and registry: natively the real mkgmap
// run by Debian's Java on the mkgmap-made test maps, under Wine the stand-in java.exe (see
// mkgmap_runtime.h). Cases that need the compiler to misbehave use the stand-in everywhere.
#include "builder_test_support.h"
#include "mkgmap_runtime.h"

#include "builder/compiler_choice.h"
#include "builder/mapset_build.h"
#include "mapfile/map_file.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/folder_test.h"
#include "support/registry_access.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>

namespace oxlo::testing {
namespace {

using builder::Compiler;
namespace fs = std::filesystem;
namespace scripted = platform::scripted;

class MkgmapBuildTest : public FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        const std::string maps = folder_ + "\\maps";
        fs::create_directories(hostPath(maps));
        // The test maps under names that pass the naming rule, in list order.
        for (const auto& [data, name] : std::vector<std::pair<const char*, const char*>>{
                 {"village-transparent.img", "63240001.IMG"},
                 {"village-opaque.img", "63240002.IMG"},
                 {"village-priority200.img", "63240003.IMG"}}) {
            fs::copy_file(fs::path(OXLO_TEST_DATA) / data, hostPath(maps + "\\" + name));
            request_.maps.push_back(maps + "\\" + name);
        }
        use("My Alps", mkgmapRuntime());
        request_.familyId = 6001;
        platform::openWindow(builder::kCreateWindow, 0, 0, 503, 432, "Create Mapset", 0);
    }
    void TearDown() override {
        FolderTest::TearDown();
        removeRegistryTree(familyKey());
    }

    void use(const std::string& name, const MkgmapRuntime& runtime) {
        removeRegistryTree(familyKey());
        request_.name = name;
        request_.folder = folder_ + "\\" + name;
        request_.compiler = Compiler::Mkgmap;
        request_.javaPath = runtime.javaHome + "\\bin\\java.exe";
        request_.mkgmapPath = runtime.jar;
    }
    // Steers the stand-in (see tests/standins/java.cpp).
    void tellStandIn(const std::string& orders) {
        fs::create_directories(hostPath(request_.folder));
        writeFileText(request_.folder + "\\standin-control.txt", orders);
    }
    std::string familyKey() const { return kFamiliesPath + "\\" + request_.name; }
    std::string file(const std::string& suffix) const {
        return request_.folder + "\\" + request_.name + suffix;
    }
    bool build() {
        scripted::answerNextMessage(platform::kAnswerOk);
        const bool built = builder::buildMapset(request_);
        EXPECT_EQ(scripted::shownMessages().size(), 1u) << "one final message";
        return built;
    }

    builder::MapsetBuildRequest request_;
};

TEST_F(MkgmapBuildTest, MapsetWithItsSearchIndexIsBuiltAndRegistered) {
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(build()) << lastMessageText();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    std::cout << "Build of " << request_.maps.size() << " test maps with "
              << (mkgmapRuntime().real ? "the real mkgmap" : "the stand-in java.exe") << ": "
              << took.count() << " ms\n";
    EXPECT_EQ(textsAndFlags("Create Mapset"), (Shown{{"Mapset Created.", 0x40}}));

    // The index: product 1, the family, and the series name the mapset's name.
    const std::vector<std::uint8_t> index = fileBytes(file(".TDB"));
    ASSERT_GE(index.size(), 9u);
    EXPECT_EQ(index[0], 0x50);
    EXPECT_EQ(index[3] | index[4] << 8, 1) << "product ID";
    EXPECT_EQ(index[5] | index[6] << 8, 6001) << "family ID";
    EXPECT_EQ(mapfile::readStoredName(file(".TDB")), "My Alps");
    // The overview map is a Garmin map with a TRE header.
    mapfile::mapAttributes = {};
    EXPECT_EQ(mapfile::readMapAttributes(file(".IMG"), "GARMIN TRE", 10), 0);
    EXPECT_GE(mapfile::mapAttributes.headerEnd, 10) << "no TRE header in the overview map";

    const RawValue id = readRawValue(familyKey(), "ID");
    EXPECT_EQ(id.type, platform::kRegBinary);
    EXPECT_EQ(id.bytes, (std::vector<std::uint8_t>{0x71, 0x17}));
    for (const auto& [key, name, data] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {familyKey() + "\\1", "BMAP", file(".IMG")},
             {familyKey() + "\\1", "LOC", request_.folder},
             {familyKey() + "\\1", "TDB", file(".TDB")},
             {familyKey(), "IDX", file(".mdx")},
             {familyKey(), "MDR", file("_mdr.img")}}) {
        SCOPED_TRACE(name);
        const RawValue value = readRawValue(key, name);
        EXPECT_EQ(value.type, platform::kRegSz);
        EXPECT_EQ(value.bytes, textBytes(data));
    }
    for (const char* suffix : {".mdx", "_mdr.img"}) {
        SCOPED_TRACE(suffix);
        EXPECT_TRUE(fileExists(file(suffix)));
    }

    // mkgmap prints to standard error only: its lines reached the window's title.
    const std::vector<std::string> titles = scripted::titlesSet(builder::kCreateWindow);
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Number of ExitExceptions: 0"), titles.end())
        << "mkgmap's standard error was not read";
    EXPECT_EQ(titles.back(), "Create Mapset");
    EXPECT_FALSE(fileExists(request_.folder + "\\Oxlo.txt")) << "no control file for mkgmap";
    EXPECT_EQ(platform::getCurrentDirectory(), request_.folder + "\\");
}

TEST_F(MkgmapBuildTest, StandInIsGivenTheWholeCommandLine) {
    use("My Alps", standInMkgmapRuntime());
    ASSERT_TRUE(build()) << lastMessageText();
    const std::string d = request_.folder;
    const std::string jar = request_.mkgmapPath;
    const std::string arguments = d + "\\My Alps.mkgmap-args";
    std::vector<std::string> expected = {
        "-Dfile.encoding=UTF-8", "-jar", jar, "--output-dir=" + d, "--family-id=6001", "--product-id=1",
        "--family-name=My Alps", "--series-name=My Alps", "--area-name=My Alps",
        "--overview-mapname=My Alps", "--overview-mapnumber=60010000", "--tdbfile", "--index",
        "-c", arguments};
    // Natively the host program gets the host's paths for Windows paths.
    if (hostPath(d).string() != d)
        for (std::string& argument : expected) {
            for (const std::string& windows : {jar, arguments, d})
                if (argument.ends_with(windows))
                    argument = argument.substr(0, argument.size() - windows.size()) +
                               hostPath(windows).string();
        }
    std::vector<std::string> recorded;
    const std::string text = fileText(d + "\\standin-java-arguments.txt");
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        recorded.push_back(text.substr(start, end - start));
    EXPECT_EQ(recorded, expected);
    // The maps by their names beside the argument file, which is gone after the build.
    EXPECT_EQ(fileText(d + "\\standin-java-config.txt"),
              "input-file: 63240001.IMG\ninput-file: 63240002.IMG\ninput-file: 63240003.IMG\n");
    EXPECT_FALSE(fileExists(arguments));
}

TEST_F(MkgmapBuildTest, ThousandsOfMapsInALongFolderPathAreBuilt)
{
    use("My Alps", standInMkgmapRuntime());
    const std::string maps = folder_ + "\\" + std::string(120, 'm');
    fs::create_directories(hostPath(maps));
    request_.maps.clear();
    // Under Wine 3,000 maps, as big collections have; natively fewer, since the portable platform
    // looks up each Windows path by listing its folder.
    const int count = mkgmapRuntime().real ? 300 : 3000;
    for (int number = 1; number <= count; ++number) {
        request_.maps.push_back(maps + "\\" + std::to_string(63240000 + number) + ".IMG");
        fs::copy_file(fs::path(OXLO_TEST_DATA) / "village-opaque.img",
                      hostPath(request_.maps.back()));
    }
    ASSERT_TRUE(build()) << lastMessageText();
    const std::string config = fileText(request_.folder + "\\standin-java-config.txt");
    EXPECT_EQ(std::count(config.begin(), config.end(), '\n'), count);
    EXPECT_NE(config.find("input-file: " + std::to_string(63240000 + count) + ".IMG\n"),
              std::string::npos);
}

TEST_F(MkgmapBuildTest, JavaThatCannotBeStartedIsNamed)
{
    request_.javaPath = folder_ + "\\no java\\java.exe";
    EXPECT_FALSE(build());
    EXPECT_EQ(textsAndFlags("Create Mapset"),
              (Shown{{"Java could not be started from " + request_.javaPath + ".", 0x30}}));
    EXPECT_FALSE(registryKeyExists(familyKey()));
}

TEST_F(MkgmapBuildTest, AFileThatIsNoMapMakesMkgmapFailAndNothingIsRegistered) {
    const std::string notAMap = folder_ + "\\maps\\63240009.IMG";
    writeFileText(notAMap, "not a map");
    request_.maps.push_back(notAMap);
    EXPECT_FALSE(build());
    const auto message = scripted::shownMessages()[0];
    EXPECT_EQ(message.title, "Error");
    EXPECT_EQ(message.flags, 0x30);
    EXPECT_EQ(message.text.rfind("Mapset Creation Failed!\r\r", 0), 0u) << message.text;
    EXPECT_NE(message.text.find("SEVERE"), std::string::npos) << message.text;
    EXPECT_NE(message.text.find("63240009.IMG"), std::string::npos) << message.text;
    EXPECT_FALSE(registryKeyExists(familyKey()));
    EXPECT_FALSE(fileExists(file(".TDB")));
}

TEST_F(MkgmapBuildTest, EarlierFilesNeverPassForThisBuildAndComeBackAfterAFailure) {
    // The stand-in leaves one of the two files a success needs, or none.
    for (const char* orders : {"mkgmap no-overview\r\n", "mkgmap no-output\r\n", "mkgmap fail\r\n",
                               "mkgmap exit-1\r\n"}) {
        SCOPED_TRACE(orders);
        scripted::resetScript();
        platform::openWindow(builder::kCreateWindow, 0, 0, 503, 432, "Create Mapset", 0);
        use("My Alps", standInMkgmapRuntime());
        platform::setCurrentDirectory(startFolder_); // Windows keeps the current folder
        fs::remove_all(hostPath(request_.folder));
        tellStandIn(orders);
        for (const char* suffix : {".TDB", ".IMG", ".mdx", "_mdr.img"})
            writeFileText(file(suffix), std::string("earlier ") + suffix);
        EXPECT_FALSE(build());
        EXPECT_EQ(scripted::shownMessages()[0].title, "Error");
        EXPECT_FALSE(registryKeyExists(familyKey()));
        for (const char* suffix : {".TDB", ".IMG", ".mdx", "_mdr.img"}) {
            SCOPED_TRACE(suffix);
            EXPECT_EQ(fileText(file(suffix)), std::string("earlier ") + suffix) << "put back";
            EXPECT_FALSE(fileExists(file(suffix) + ".earlier"));
        }
    }
}

TEST_F(MkgmapBuildTest, WithoutASearchIndexNoIndexIsRegistered) {
    use("My Alps", standInMkgmapRuntime());
    // Left by an earlier build: only files of this build may be registered.
    fs::create_directories(hostPath(request_.folder));
    writeFileText(file(".mdx"), "earlier");
    writeFileText(file("_mdr.img"), "earlier");
    tellStandIn("mkgmap no-index\r\n");
    ASSERT_TRUE(build()) << lastMessageText();
    EXPECT_EQ(readRawValue(familyKey(), "IDX").type, 0u);
    EXPECT_EQ(readRawValue(familyKey(), "MDR").type, 0u);
    EXPECT_EQ(readRawValue(familyKey() + "\\1", "TDB").bytes, textBytes(file(".TDB")));
}

TEST_F(MkgmapBuildTest, TypCopyGetsTheFamilyIdAndTheOriginalStaysAsItWas) {
    use("My Alps", standInMkgmapRuntime());
    const std::string original = folder_ + "\\types\\village.typ";
    fs::create_directories(hostPath(folder_ + "\\types"));
    fs::copy_file(fs::path(OXLO_TEST_DATA) / "village.typ", hostPath(original));
    const std::vector<std::uint8_t> before = fileBytes(original);
    request_.typPath = original;
    ASSERT_TRUE(build()) << lastMessageText();

    EXPECT_EQ(fileBytes(original), before) << "the user's TYP file is never changed";
    std::vector<std::uint8_t> expected = before;
    ASSERT_GT(expected.size(), 0x33u);
    expected[0x2F] = 0x71; // family 6001
    expected[0x30] = 0x17;
    expected[0x31] = 0x01; // product 1
    expected[0x32] = 0x00;
    EXPECT_EQ(fileBytes(request_.folder + "\\village.typ"), expected);
    EXPECT_EQ(readRawValue(familyKey(), "TYP").bytes,
              textBytes(request_.folder + "\\village.typ"));
}

} // namespace
} // namespace oxlo::testing
