#include "builder_test_support.h"

#include "builder/create_mapset_window.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"
#include "support/file_bytes.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace oxlo::testing {

namespace fs = std::filesystem;

void setCatalogue(const std::vector<catalogue::InstalledMapset>& rows) {
    catalogue::installedMapsets.fill(catalogue::InstalledMapset{});
    int row = 0;
    for (const catalogue::InstalledMapset& mapset : rows) catalogue::installedMapsets[++row] = mapset;
    catalogue::mapsetCount = row;
}

catalogue::InstalledMapset familyRow(const std::string& name, std::int32_t id) {
    catalogue::InstalledMapset row;
    row.name = name;
    row.branch = "Families";
    row.id = id;
    row.form = "F";
    row.keyName = name;
    return row;
}

catalogue::InstalledMapset productRow(const std::string& name, std::int32_t id) {
    catalogue::InstalledMapset row;
    row.name = name;
    row.branch = "Products";
    row.id = id;
    row.form = "N";
    row.keyName = std::to_string(id);
    return row;
}

void openWindowAsNewDoes() {
    builder::openCreateMapsetWindow();
    builder::setCreationMode(true);
    builder::setAttributePanelHidden(true);
}

std::vector<std::uint8_t> fileBytes(const std::string& windowsPath) {
    const auto bytes = readWholeWindowsFile(windowsPath);
    return bytes ? std::vector<std::uint8_t>(bytes->begin(), bytes->end())
                 : std::vector<std::uint8_t>();
}

std::string fileText(const std::string& windowsPath) {
    const std::vector<std::uint8_t> bytes = fileBytes(windowsPath);
    return {bytes.begin(), bytes.end()};
}

void writeFileBytes(const std::string& windowsPath, const std::vector<std::uint8_t>& bytes) {
    const fs::path host = hostPath(windowsPath);
    fs::create_directories(host.parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void writeFileText(const std::string& windowsPath, const std::string& text) {
    writeFileBytes(windowsPath, std::vector<std::uint8_t>(text.begin(), text.end()));
}

bool fileExists(const std::string& windowsPath) {
    return fs::is_regular_file(hostPath(windowsPath));
}

bool folderExists(const std::string& windowsPath) {
    return fs::is_directory(hostPath(windowsPath));
}

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

RawValue readRawValue(const std::string& keyPath, const std::string& valueName) {
    return rawValue(keyPath, valueName).value_or(RawValue{});
}

bool registryKeyExists(const std::string& keyPath) { return keyExists(keyPath); }

void removeRegistryTree(const std::string& keyPath) {
    platform::deleteRegistryTree(platform::kLocalMachine, keyPath);
}

void clearRegisteredMapsets() {
    removeRegistryTree(kFamiliesPath);
    removeRegistryTree(kProductsPath);
    ASSERT_FALSE(registryKeyExists(kFamiliesPath));
    ASSERT_FALSE(registryKeyExists(kProductsPath));
}

void registerFamily(const std::string& name, std::int32_t id) {
    const auto word = static_cast<std::uint32_t>(id);
    putValue(kFamiliesPath + "\\" + name, "ID", platform::kRegBinary,
             {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8 & 0xFF)});
}

} // namespace oxlo::testing
