#include "builder/mkgmap_build.h"

#include "platform/services.h"

namespace oxlo::builder {

namespace {
constexpr std::int32_t kOverviewNumberScale = 10000;
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

std::string mkgmapParameters(const std::string& jar, const MapsetBuildRequest& request) {
    const std::string name = quotedArgument(request.name);
    std::string parameters = "-jar " + quotedArgument(jar) +
                             " --output-dir=" + quotedArgument(request.folder) +
                             " --family-id=" + platform::textFromNumber(request.familyId) +
                             " --product-id=1 --family-name=" + name + " --series-name=" + name +
                             " --area-name=" + name + " --overview-mapname=" + name +
                             " --overview-mapnumber=" +
                             platform::textFromNumber(overviewMapNumber(request.familyId)) +
                             " --tdbfile --index";
    for (const std::string& map : request.maps)
        parameters += " " + quotedArgument(request.folder + "\\" + platform::getFilePart(map));
    return parameters;
}

MkgmapOutputs mkgmapOutputs(const MapsetBuildRequest& request) {
    const std::string files = request.folder + "\\" + request.name;
    return {files + ".TDB", files + ".IMG", files + ".mdx", files + "_mdr.img"};
}

} // namespace oxlo::builder
