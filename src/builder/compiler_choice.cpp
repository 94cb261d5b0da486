#include "builder/compiler_choice.h"

#include "builder/create_window_controls.h"
#include "builder/mkgmap_tools.h"

#include "platform/services.h"
#include "platform/ui.h"

namespace oxlo::builder {

namespace {
constexpr const char* kEntries[] = {"cgpsmapper", "mkgmap"};
} // namespace

void addCompilerEntries() {
    for (const char* entry : kEntries) platform::addListItem(kCompilerList, -1, entry);
}

void selectStartingCompiler(const std::string& cgpsmapperPath, const std::string& startFolderJar) {
    const bool onlyMkgmap = platform::fileSize(cgpsmapperPath) == platform::kNoSuchPath &&
                            !foundMkgmapJar(startFolderJar).empty();
    const Compiler compiler = onlyMkgmap ? Compiler::Mkgmap : Compiler::Cgpsmapper;
    platform::setControlState(kCompilerList, static_cast<int>(compiler));
}

Compiler chosenCompiler() {
    return platform::getControlState(kCompilerList) == static_cast<int>(Compiler::Mkgmap)
               ? Compiler::Mkgmap
               : Compiler::Cgpsmapper;
}

} // namespace oxlo::builder
