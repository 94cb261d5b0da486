#include "builder_test_support.h"

#include "builder/create_mapset_window.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"
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

std::vector<std::string> messageTexts() {
    std::vector<std::string> texts;
    for (const auto& message : platform::scripted::shownMessages()) texts.push_back(message.text);
    return texts;
}

std::vector<std::uint8_t> fileBytes(const std::string& windowsPath) {
    std::ifstream in(hostPath(windowsPath), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
    RawValue value;
    platform::RegistryHandle key = 0;
    if (platform::registryOpenKey(platform::kLocalMachine, keyPath, platform::RegistryAccess::Read,
                                  &key) != platform::kRegistryOk)
        return value;
    unsigned type = 0;
    unsigned size = 0;
    if (platform::registryQueryValue(key, valueName, &type, nullptr, &size) ==
        platform::kRegistryOk) {
        value.bytes.resize(size);
        if (platform::registryQueryValue(key, valueName, &type, value.bytes.data(), &size) ==
            platform::kRegistryOk) {
            value.type = type;
            value.bytes.resize(size);
        } else {
            value.bytes.clear();
        }
    }
    platform::registryCloseKey(key);
    return value;
}

bool registryKeyExists(const std::string& keyPath) {
    platform::RegistryHandle key = 0;
    if (platform::registryOpenKey(platform::kLocalMachine, keyPath, platform::RegistryAccess::Read,
                                  &key) != platform::kRegistryOk)
        return false;
    platform::registryCloseKey(key);
    return true;
}

void removeRegistryTree(const std::string& keyPath) {
    platform::deleteRegistryTree(platform::kLocalMachine, keyPath);
}

namespace {

using EnumerateName = long (*)(platform::RegistryHandle, unsigned, char*, unsigned*);

std::vector<std::string> enumeratedNames(const std::string& keyPath, EnumerateName enumerate) {
    std::vector<std::string> names;
    platform::OwnedRegistryKey key;
    if (platform::registryOpenKey(platform::kLocalMachine, keyPath, platform::RegistryAccess::Read,
                                  key.receive()) != platform::kRegistryOk)
        return names;
    std::vector<char> name(16384);
    for (unsigned index = 0;; ++index) {
        unsigned length = static_cast<unsigned>(name.size());
        if (enumerate(key.get(), index, name.data(), &length) != platform::kRegistryOk) break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

} // namespace

std::vector<std::string> subkeyNames(const std::string& keyPath) {
    return enumeratedNames(keyPath, platform::registryEnumKey);
}

std::vector<std::string> valueNames(const std::string& keyPath) {
    return enumeratedNames(keyPath, platform::registryEnumValue);
}

void putValue(const std::string& keyPath, const std::string& valueName, unsigned type,
              const std::vector<std::uint8_t>& bytes) {
    platform::OwnedRegistryKey key;
    ASSERT_EQ(platform::registryCreateKey(platform::kLocalMachine, keyPath, key.receive()),
              platform::kRegistryOk)
        << keyPath;
    ASSERT_EQ(platform::registrySetValue(key.get(), valueName, type, bytes.data(),
                                         static_cast<unsigned>(bytes.size())),
              platform::kRegistryOk)
        << keyPath << " " << valueName;
}

void putText(const std::string& keyPath, const std::string& valueName, const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    putValue(keyPath, valueName, platform::kRegSz, bytes);
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
