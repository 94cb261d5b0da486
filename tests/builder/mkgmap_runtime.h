// The Java runtime and mkgmap.jar that the builds with mkgmap run in the tests. Natively they are
// Debian's real java and mkgmap.jar (packages default-jre-headless and mkgmap), reached from the
// portable platform's drive C:, so the tests run the real compiler; under Wine they are the
// stand-in java.exe of tests/standins and an empty mkgmap.jar.
#pragma once

#include <string>

namespace oxlo::testing {

struct MkgmapRuntime {
    std::string javaHome; // for JAVA_HOME: java.exe is in its "bin" folder
    std::string jar;      // mkgmap.jar
    bool real = false;    // the real mkgmap, not the stand-in
};

// The runtime the mkgmap tests build with, put into place at the first call.
const MkgmapRuntime& mkgmapRuntime();

// Always the stand-in (natively its host build), for runs that build many times.
const MkgmapRuntime& standInMkgmapRuntime();

} // namespace oxlo::testing
