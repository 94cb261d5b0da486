// Finding what a build with mkgmap runs: mkgmap.jar and the Java runtime that runs it.
#pragma once

#include <string>

namespace oxlo::builder {

inline constexpr const char* kMkgmapJar = "mkgmap.jar";

// mkgmap.jar where Oxlo looks without asking: `startFolderJar` (mkgmap.jar in the folder Oxlo
// started in), then mkgmap.jar in the folder of oxlo.exe. Empty when it is in neither.
std::string foundMkgmapJar(const std::string& startFolderJar);

// Asks the user for mkgmap.jar ("Find mkgmap"); empty when the chooser was cancelled.
std::string askForMkgmapJar();

// java.exe: %JAVA_HOME%\bin\java.exe, then java.exe in each folder of PATH, in order. Empty when
// there is none.
std::string foundJava();

// mkgmap.jar as Create finds it (`mkgmapPath`, which becomes the jar found or chosen, then the
// program folder, then "Find mkgmap") and Java. False when the chooser was cancelled, or, after
// saying so under `title`, when there is no Java.
bool locateMkgmapAndJava(std::string& mkgmapPath, std::string* java, const char* title);

} // namespace oxlo::builder
