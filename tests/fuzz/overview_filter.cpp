// The rewrite of the overview source, over the source in memory. Input: the source's bytes.
// Whatever they are, the rewrite must end and write back some of the source's lines, in their
// order, each ended by CR LF; lines before the first [RGN40] header pass unchanged, and a source
// without one comes back line for line.
#include "fuzz_support.h"

#include "builder/mapset_build.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace {

using oxlo::fuzz::printable;
using oxlo::fuzz::require;

// The lines as readLine hands them out until the end of the file: ended by CR, LF, CR LF or NUL;
// text after the last end is a line of its own. Views, as copies would cost more than the rewrite.
std::vector<std::string_view> sourceLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n' || c == '\0') {
            lines.push_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// The lines of the rewritten file, which must be a series of lines each ended by CR LF.
std::vector<std::string_view> writtenLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        require(end != std::string_view::npos,
                [&] { return "the rewrite ends without CR LF: " + printable(text); });
        const std::string_view line = text.substr(start, end - start);
        require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
                [&] { return "a written line holds a line end: " + printable(line); });
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

bool isHeader(std::string_view line)
{
    constexpr std::string_view kHeader = "[RGN40]";
    const auto same = [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
    };
    return std::search(line.begin(), line.end(), kHeader.begin(), kHeader.end(), same) !=
           line.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    const std::string result = oxlo::builder::filteredOverviewText(source);
    const std::vector<std::string_view> in = sourceLines(source);
    const std::vector<std::string_view> out = writtenLines(result);
    const auto context = [&] {
        return "\n  source: " + printable(source) + "\n  result: " + printable(result);
    };

    std::size_t next = 0; // the first input line not yet matched
    for (const std::string_view line : out) {
        while (next < in.size() && in[next] != line)
            ++next;
        require(next < in.size(), [&] {
            return "'" + printable(line) + "' is not a source line in order" + context();
        });
        ++next;
    }
    const auto firstHeader = std::find_if(in.begin(), in.end(), isHeader);
    const auto untouched = static_cast<std::size_t>(firstHeader - in.begin());
    require(out.size() >= untouched && std::equal(in.begin(), firstHeader, out.begin()),
            [&] { return "lines before the first [RGN40] header changed" + context(); });
    if (firstHeader == in.end())
        require(out == in,
                [&] { return "a source without [RGN40] came back changed" + context(); });
    return 0;
}
