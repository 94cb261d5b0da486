#include "builder/mkgmap_build.h"

#include "builder/create_window_controls.h"

#include "catalogue/name_rules.h"
#include "platform/services.h"

namespace oxlo::builder {

namespace {
constexpr std::int32_t kOverviewNumberScale = 10000;
constexpr int kArgumentFile = 0;

// Writes mkgmap's argument file into D under a name no file there has; its path, or the empty
// text when it could not be written (what was written of it is removed again).
std::string writeArgumentFile(const MapsetBuildRequest& request) {
    std::string file = request.folder + "\\" + request.name + ".mkgmap-args";
    for (int number = 2; platform::fileSize(file) != platform::kNoSuchPath; ++number)
        file = request.folder + "\\" + request.name + "." + platform::textFromNumber(number) +
               ".mkgmap-args";
    if (platform::createFile(kArgumentFile, file) == 0) return {};
    for (const std::string& line : mkgmapArgumentLines(request))
        platform::writeLine(kArgumentFile, line);
    if (platform::closeFile(kArgumentFile) == 1) return file;
    platform::deleteFile(file);
    return {};
}
} // namespace

std::int32_t overviewMapNumber(std::int32_t familyId) { return familyId * kOverviewNumberScale; }

std::string quotedArgument(const std::string& text) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
        } else {
            // Backslashes before a quote escape it: double them, and escape the quote.
            if (c == '"') quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        }
        quoted += c;
    }
    quoted.append(backslashes, '\\');
    return quoted + "\"";
}

std::string mkgmapParameters(const std::string& jar, const MapsetBuildRequest& request,
                             const std::string& argumentFile) {
    const std::string name = quotedArgument(request.name);
    return "-Dfile.encoding=UTF-8 -jar " + quotedArgument(jar) +
           " --output-dir=" + quotedArgument(request.folder) +
           " --family-id=" + platform::textFromNumber(request.familyId) +
           " --product-id=1 --family-name=" + name + " --series-name=" + name +
           " --area-name=" + name + " --overview-mapname=" + name + " --overview-mapnumber=" +
           platform::textFromNumber(overviewMapNumber(request.familyId)) +
           " --tdbfile --index -c " + quotedArgument(argumentFile);
}

std::string bundleParameters(const std::string& jar, const std::string& workFolder,
                             std::int32_t familyId, const std::string& name,
                             const std::string& argumentFile) {
    const std::string quotedName = quotedArgument(name);
    return "-Dfile.encoding=UTF-8 -jar " + quotedArgument(jar) +
           " --output-dir=" + quotedArgument(workFolder) +
           " --gmapi --family-id=" + platform::textFromNumber(familyId) +
           " --product-id=1 --family-name=" + quotedName + " --series-name=" + quotedName +
           " --overview-mapname=" + quotedName + " --index -c " + quotedArgument(argumentFile);
}

std::vector<std::string> mkgmapArgumentLines(const MapsetBuildRequest& request) {
    std::vector<std::string> lines;
    for (const std::string& map : request.maps)
        lines.push_back("input-file: " + platform::getFilePart(map));
    return lines;
}

MkgmapOutputs mkgmapOutputs(const MapsetBuildRequest& request) {
    const auto file = [&](const char* ending) {
        return catalogue::joinPath(request.folder, request.name + ending);
    };
    return {file(".TDB"), file(".IMG"), file(".mdx"), file("_mdr.img")};
}

Compilation compileWithMkgmap(const MapsetBuildRequest& request, EarlierOutputs& written) {
    const int count = static_cast<int>(request.maps.size());
    for (int number = 1; number <= count; ++number)
        if (std::string failure =
                copyMapInto(request.maps[number - 1], request.folder, number, count, written);
            !failure.empty())
            return {false, std::move(failure)};

    // mkgmap writes the names in small letters (NAME.tdb, NAME.img): the file system's letter
    // case rules find them under the names registered.
    const MkgmapOutputs outputs = mkgmapOutputs(request);
    for (const std::string& output :
         {outputs.index, outputs.overview, outputs.searchIndex, outputs.searchMaps})
        if (!written.guard(output)) return {false, written.blockedMessage()};
    const std::string arguments = writeArgumentFile(request);
    if (arguments.empty())
        return {false, "The argument file for mkgmap could not be written to " + request.folder +
                           "."};
    // mkgmap prints its messages to standard error.
    const ToolRun run = runToolAndCollectOutput(
        request.javaPath, mkgmapParameters(request.mkgmapPath, request, arguments), true);
    platform::deleteFile(arguments);
    if (!run.started) {
        platform::showMessage(kCreateWindowTitle,
                              "Java could not be started from " + request.javaPath + ".",
                              platform::kMessageWarning);
        return {false, {}, false, true};
    }
    const auto wrote = [](const std::string& file) { return platform::fileSize(file) >= 0; };
    // mkgmap ends with status 1 after an error, also when it wrote the files.
    if (run.exitCode != 0 || !wrote(outputs.index) || !wrote(outputs.overview))
        return {false, lastLinesOf(run)};
    return {true, {}, wrote(outputs.searchIndex) && wrote(outputs.searchMaps)};
}

} // namespace oxlo::builder
