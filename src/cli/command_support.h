// What several commands of oxlo.com share: the scan that changes nothing, a mapset named on the
// command line, paths given relative to the current folder, and progress lines on standard error.
#pragma once

#include "builder/build_progress.h"
#include "cli/cli.h"

#include <string>

namespace oxlo::cli {

// A scan that changes nothing: the repair it offers for old product entries is left for the
// window.
void scanQuietly(const Streams& streams);

// The row (1-based) of the mapset `name` after a quiet scan; 0 after saying that none or several
// are named so.
int scanAndFind(const Streams& streams, const std::string& name);

// The row of mapset `name` for a command that changes it, as scanAndFind finds it; a registered
// mapset also needs administrator rights. 0 after saying why not, with the exit status in
// `status` (kExitElevationRequired for the rights).
int rowToChange(const Streams& streams, const std::string& name, int& status);

// The same for a mapset of the registry: a BaseCamp bundle of that name gives 0 after
// "oxlo: KEY" and `bundleRefusal`.
int scanAndFindRegistered(const Streams& streams, const std::string& name,
                          const std::string& bundleRefusal);

// `path` as a full path: a relative one is taken from the current folder; a quote at its end
// (from a quoted folder ending in a backslash) is dropped.
std::string fullPath(std::string path);

// mkgmap.jar where the window looks without asking (the current folder, then the program's);
// empty when it is in neither. A console cannot show the window's file chooser instead.
std::string mkgmapJarHere();
inline constexpr const char* kNoMkgmapJar =
    "mkgmap.jar was found neither in the current folder nor beside oxlo.com.";

// mkgmap.jar here and the Java that runs it, for a command whose MessageGate lives (a missing Java
// is said under `title` through it); false after saying what is missing.
bool findMkgmapAndJava(const Streams& streams, const char* title, std::string* jar,
                       std::string* java);

// A build's or a tool's lines on standard error while it lives.
class StandardErrorProgress final : public builder::BuildProgress {
public:
    explicit StandardErrorProgress(const Streams& streams);
    ~StandardErrorProgress() override;
    StandardErrorProgress(const StandardErrorProgress&) = delete;
    StandardErrorProgress& operator=(const StandardErrorProgress&) = delete;
    void show(const std::string& line) override { streams_.err(line + "\n"); }
    void stepDone() override {}

private:
    const Streams& streams_;
};

} // namespace oxlo::cli
