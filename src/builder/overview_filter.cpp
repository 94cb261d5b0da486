// The rewrite of the overview map source that cpreview.exe writes: area sections ([RGN40]) of
// types 6 and 7 are taken out before cgpsmapper.exe compiles it.
#include "builder/mapset_build.h"

#include "platform/services.h"

namespace oxlo::builder {

namespace {

constexpr int kSource = 0;
constexpr int kScratch = 1;

// Capitals as the program forms them everywhere: a to z, and the 8-bit letters 224 to 255.
std::string inCapitals(std::string text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || byte >= 224) c = static_cast<char>(byte - 32);
    }
    return text;
}

bool contains(const std::string& line, const char* part) {
    return line.find(part) != std::string::npos;
}

void skipToSectionEnd() {
    while (platform::endOfFile(kSource) == 0)
        if (contains(platform::readLine(kSource), "[END]")) return;
}

// Copies the section after `header` unless a Type=6 or Type=7 line turns up: then the section is
// cut from that line on, its [END] line included, and wholly dropped when that is its first line.
// A section that the end of the file cuts off keeps what was read of it.
void copyAreaSection(const std::string& header) {
    bool headerWritten = false;
    while (platform::endOfFile(kSource) == 0) {
        const std::string line = platform::readLine(kSource);
        if (contains(line, "Type=6") || contains(line, "Type=7")) {
            skipToSectionEnd();
            return;
        }
        if (!headerWritten) {
            platform::writeLine(kScratch, header);
            headerWritten = true;
        }
        platform::writeLine(kScratch, line);
        if (contains(line, "[END]")) return;
    }
    if (!headerWritten) platform::writeLine(kScratch, header);
}

} // namespace

void filterOverviewSource(const std::string& name) {
    const std::string source = name + ".mp";
    if (platform::openFile(kSource, source) == 0) {
        platform::showMessage("ERROR", "\"" + source + "\"", platform::kMessagePlain);
        return;
    }
    // A scratch file of a free name: NAME.tmp may be a file of the user's.
    const std::string scratch = platform::createScratchBeside(source);
    platform::openFile(kScratch, scratch);
    while (platform::endOfFile(kSource) == 0) {
        const std::string line = platform::readLine(kSource);
        if (contains(inCapitals(line), "[RGN40]"))
            copyAreaSection(line);
        else
            platform::writeLine(kScratch, line);
    }
    platform::closeFile(kSource);
    if (platform::closeFile(kScratch) == 0 || platform::replaceFile(scratch, source) == 0)
        platform::deleteFile(scratch);
}

} // namespace oxlo::builder
