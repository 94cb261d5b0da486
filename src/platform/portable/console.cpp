// The console on POSIX: arguments as given, the standard streams as bytes, and administrator
// rights that the tests set (OXLO_PORTABLE_USER=1 runs the program as a plain user).
#include "platform/console.h"
#include "platform/portable/portable_console.h"

#include <cstdio>
#include <cstdlib>

namespace oxlo::platform {

namespace {
int& administrator() {
    static int rights = -1; // -1: not set by a test, read the environment
    return rights;
}
void writeAll(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}
} // namespace

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

void writeStandardOutput(const std::string& text) { writeAll(stdout, text); }
void writeStandardError(const std::string& text) { writeAll(stderr, text); }

bool runsAsAdministrator() {
    if (administrator() >= 0) return administrator() == 1;
    const char* user = std::getenv("OXLO_PORTABLE_USER");
    return user == nullptr || std::string(user) != "1";
}

void setAdministrator(bool administratorRights) { administrator() = administratorRights ? 1 : 0; }

} // namespace oxlo::platform
