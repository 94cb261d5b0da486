// The choice of the program that compiles a new mapset: cgpsmapper (with cpreview) or mkgmap.
#pragma once

#include <string>

namespace oxlo::builder {

enum class Compiler { Cgpsmapper, Mkgmap };

// Fills the Compiler drop-down with its entries, in the order of Compiler.
void addCompilerEntries();

// Selects the compiler the window starts with: mkgmap when mkgmap.jar can be found (see
// foundMkgmapJar) and `cgpsmapperPath` names no file, otherwise cgpsmapper.
void selectStartingCompiler(const std::string& cgpsmapperPath, const std::string& startFolderJar);

// The compiler selected in the drop-down (cgpsmapper when none is).
Compiler chosenCompiler();

} // namespace oxlo::builder
