// Shared set-up of the builder tests: the window as the main window opens it, catalogue rows,
// files on disk and the registry as the build leaves them.
#pragma once

#include "builder/create_window_controls.h"
#include "catalogue/installed_mapsets.h"
#include "platform/portable/scripted_ui.h"
#include "support/registry_access.h"
#include "support/shown_messages.h"

#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::testing {

// Empties the catalogue, then fills rows 1, 2, ... with these rows.
void setCatalogue(const std::vector<catalogue::InstalledMapset>& rows);
catalogue::InstalledMapset familyRow(const std::string& name, std::int32_t id);
catalogue::InstalledMapset productRow(const std::string& name, std::int32_t id);

// Opens window 1 the way New does: Auto mode, attribute panel hidden.
void openWindowAsNewDoes();

// Bytes of a file on disk (read around the services under test); empty when missing.
std::vector<std::uint8_t> fileBytes(const std::string& windowsPath);
std::string fileText(const std::string& windowsPath);
void writeFileBytes(const std::string& windowsPath, const std::vector<std::uint8_t>& bytes);
void writeFileText(const std::string& windowsPath, const std::string& text);
bool fileExists(const std::string& windowsPath);
bool folderExists(const std::string& windowsPath);

// The lines of a text file split at CR LF; a last line without its end is kept too.
std::vector<std::string> crlfLines(const std::string& text);

// The raw bytes and type of a registry value below HKEY_LOCAL_MACHINE (32-bit view); type 0 and
// no bytes when missing.
RawValue readRawValue(const std::string& keyPath, const std::string& valueName);
bool registryKeyExists(const std::string& keyPath);
void removeRegistryTree(const std::string& keyPath);

inline const std::string kFamiliesPath = kMapsourceFamilies;
inline const std::string kProductsPath = kMapsourceProducts;
// Removes every family and product key: each test starts from an empty catalogue.
void clearRegisteredMapsets();
// A family key with its 2-byte "ID" value, as the checks read it.
void registerFamily(const std::string& name, std::int32_t id);

} // namespace oxlo::testing
