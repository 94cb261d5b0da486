// oxlo.com: Oxlo's commands from a console, over the same catalogue, builder and editor as the
// window program. Results go to standard output, messages to standard error as "oxlo: TEXT".
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace oxlo::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1; // failed, refused, or problems found
inline constexpr int kExitUsage = 2;
inline constexpr int kExitElevationRequired = 740; // ERROR_ELEVATION_REQUIRED

struct Streams {
    std::function<void(const std::string&)> out;
    std::function<void(const std::string&)> err;
};

// Runs one command line (the arguments after the program's name); gives the exit status.
int run(const std::vector<std::string>& arguments, const Streams& streams);

} // namespace oxlo::cli
