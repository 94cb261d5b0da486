// The rewrite of the overview map source that cpreview.exe writes: area sections ([RGN40]) of
// types 6 and 7 are taken out before cgpsmapper.exe compiles it.
#include "builder/mapset_build.h"

#include "platform/services.h"
#include "platform/text_lines.h"

#include <algorithm>
#include <string_view>

namespace oxlo::builder {

namespace {

constexpr int kSource = 0;
constexpr int kScratch = 1;

// Where the rewrite reads the source's lines and writes those it keeps. A line read stays valid
// up to the next read.
class SourceLines {
public:
    virtual ~SourceLines() = default;
    virtual bool atEnd() = 0;
    virtual const std::string& next() = 0;
    virtual void write(const std::string& line) = 0;
};

// The numbered files kSource and kScratch.
class FileLines : public SourceLines {
public:
    bool atEnd() override { return platform::endOfFile(kSource) != 0; }
    const std::string& next() override { return line_ = platform::readLine(kSource); }
    void write(const std::string& line) override { platform::writeLine(kScratch, line); }

private:
    std::string line_;
};

// Text in memory, written to a string with CR LF after each line as writeLine does.
class MemoryLines : public SourceLines {
public:
    // Room for the text as it is, which a source of CR LF lines comes back within.
    explicit MemoryLines(std::string_view text) : lines_(text) { written_.reserve(text.size() + 2); }
    bool atEnd() override { return lines_.atEnd(); }
    const std::string& next() override { return line_.assign(lines_.next()); }
    void write(const std::string& line) override { written_.append(line).append("\r\n"); }
    std::string& written() { return written_; }

private:
    platform::TextLines lines_;
    std::string line_; // reused, which spares an allocation per line
    std::string written_;
};

// The capital as the program forms capitals everywhere: of a to z, and of the 8-bit letters 224
// to 255.
char inCapitals(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') || byte >= 224 ? static_cast<char>(byte - 32) : c;
}

// Whether the line in capitals holds `part` (capitals); compared in place, as every line of a
// large source is looked at.
bool containsInCapitals(const std::string& line, std::string_view part) {
    const auto same = [](char a, char b) { return inCapitals(a) == b; };
    return std::search(line.begin(), line.end(), part.begin(), part.end(), same) != line.end();
}

bool contains(const std::string& line, const char* part) {
    return line.find(part) != std::string::npos;
}

void skipToSectionEnd(SourceLines& lines) {
    while (!lines.atEnd())
        if (contains(lines.next(), "[END]")) return;
}

// Copies the section after `header` unless a Type=6 or Type=7 line turns up: then the section is
// cut from that line on, its [END] line included, and wholly dropped when that is its first line.
// A section that the end of the file cuts off keeps what was read of it. `header` is a copy: the
// reads of the section reuse the line it came from.
void copyAreaSection(SourceLines& lines, const std::string header) {
    bool headerWritten = false;
    while (!lines.atEnd()) {
        const std::string& line = lines.next();
        if (contains(line, "Type=6") || contains(line, "Type=7")) {
            skipToSectionEnd(lines);
            return;
        }
        if (!headerWritten) {
            lines.write(header);
            headerWritten = true;
        }
        lines.write(line);
        if (contains(line, "[END]")) return;
    }
    if (!headerWritten) lines.write(header);
}

void filterLines(SourceLines& lines) {
    while (!lines.atEnd()) {
        const std::string& line = lines.next();
        if (containsInCapitals(line, "[RGN40]"))
            copyAreaSection(lines, line);
        else
            lines.write(line);
    }
}

} // namespace

std::string filteredOverviewText(std::string_view source) {
    MemoryLines lines(source);
    filterLines(lines);
    return std::move(lines.written());
}

void filterOverviewSource(const std::string& name) {
    const std::string source = name + ".mp";
    if (platform::openFile(kSource, source) == 0) {
        platform::showMessage("ERROR", "\"" + source + "\"", platform::kMessagePlain);
        return;
    }
    // A scratch file of a free name: NAME.tmp may be a file of the user's.
    const std::string scratch = platform::createScratchBeside(source);
    platform::openFile(kScratch, scratch);
    FileLines lines;
    filterLines(lines);
    platform::closeFile(kSource);
    if (platform::closeFile(kScratch) == 0 || platform::replaceFile(scratch, source) == 0)
        platform::deleteFile(scratch);
}

} // namespace oxlo::builder
