#include "platform/portable/command_line.h"

#include <cctype>

namespace oxlo::platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isAbsoluteWindowsPath(const std::string& text, std::size_t at)
{
    return text.size() >= at + 3 && std::isalpha(static_cast<unsigned char>(text[at])) &&
           text[at + 1] == ':' && (text[at + 2] == '\\' || text[at + 2] == '/');
}

} // namespace

std::vector<std::string> splitCommandLine(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size())
        return words;

    // The program: up to the closing quote when quoted (no escapes), else up to a blank.
    std::string program;
    if (line[i] == '"') {
        const std::size_t close = line.find('"', i + 1);
        program = line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
        i = close == std::string::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && !isBlank(line[i]))
            program.push_back(line[i++]);
    }
    words.push_back(program);

    // The arguments: blanks separate outside quotes; 2n backslashes before a quote give n and
    // the quote opens or closes; 2n+1 give n and a literal quote; other backslashes are literal.
    for (;;) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i == line.size())
            return words;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || !isBlank(line[i]))) {
            if (line[i] == '\\') {
                std::size_t count = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++count;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    word.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        word.push_back('"');
                        ++i;
                    }
                } else {
                    word.append(count, '\\');
                }
            } else if (line[i] == '"') {
                // Inside quotes a doubled quote stands for one literal quote.
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    word.push_back('"');
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                word.push_back(line[i++]);
            }
        }
        words.push_back(word);
    }
}

std::string withHostPath(const std::string& argument,
                         const std::function<std::string(const std::string&)>& toHost)
{
    if (isAbsoluteWindowsPath(argument, 0))
        return toHost(argument);
    const std::size_t equals = argument.find('=');
    if (argument.starts_with("-") && equals != std::string::npos &&
        isAbsoluteWindowsPath(argument, equals + 1))
        return argument.substr(0, equals + 1) + toHost(argument.substr(equals + 1));
    return argument;
}

} // namespace oxlo::platform
