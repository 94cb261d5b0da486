#include "catalogue/catalogue_registry.h"

#include "catalogue/mapset_names.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <algorithm>

namespace oxlo::catalogue {

namespace {

// Opens `path` below the catalogue root for reading; `key` stays 0 when it cannot be opened.
bool openForReading(const std::string& path, platform::OwnedRegistryKey& key)
{
    return platform::registryOpenKey(kCatalogueRoot, path, platform::RegistryAccess::Read,
                                     key.receive()) == platform::kRegistryOk;
}

std::vector<std::string> subkeyNames(platform::RegistryHandle key, bool* complete = nullptr)
{
    std::vector<std::string> names;
    for (unsigned index = 0;; ++index) {
        char name[platform::kKeyNameRoom];
        unsigned length = platform::kKeyNameRoom;
        const long status = platform::registryEnumKey(key, index, name, &length);
        if (status != platform::kRegistryOk) {
            if (complete) *complete = status == platform::kRegistryNoMoreItems;
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

} // namespace

std::vector<std::string> listSubkeys(const std::string& path)
{
    platform::OwnedRegistryKey key;
    if (!openForReading(path, key)) {
        return {};
    }
    return subkeyNames(key.get());
}

CatalogueBranch::CatalogueBranch(const std::string& path)
{
    const long opened = platform::registryOpenKey(kCatalogueRoot, path,
                                                  platform::RegistryAccess::Read, key_.receive());
    if (opened == platform::kRegistryOk)
        names_ = subkeyNames(key_.get(), &complete_);
    else
        complete_ = opened == platform::kRegistryNotFound;
}

std::vector<std::string> CatalogueBranch::values(const std::string& subkeyPath,
                                                 const std::vector<std::string>& valueNames) const
{
    if (key_.get() == 0) {
        return std::vector<std::string>(valueNames.size());
    }
    return platform::readRegistryValues(key_.get(), subkeyPath, valueNames);
}

CatalogueBranch CatalogueBranch::subkey(const std::string& subkeyPath) const
{
    CatalogueBranch subkey;
    if (key_.get() != 0)
        platform::registryOpenKey(key_.get(), subkeyPath, platform::RegistryAccess::Read,
                                  subkey.key_.receive());
    return subkey;
}

std::optional<std::uint32_t> CatalogueBranch::number(const std::string& subkeyPath,
                                                    const std::string& valueName) const
{
    platform::OwnedRegistryKey opened;
    if (key_.get() == 0 ||
        (!subkeyPath.empty() &&
         platform::registryOpenKey(key_.get(), subkeyPath, platform::RegistryAccess::Read,
                                   opened.receive()) != platform::kRegistryOk))
        return {};
    const platform::RegistryHandle key = subkeyPath.empty() ? key_.get() : opened.get();
    char data[16] = {};
    unsigned type = platform::kRegNone;
    unsigned size = sizeof data;
    if (platform::registryQueryValue(key, valueName, &type, data, &size) !=
            platform::kRegistryOk ||
        size == 0)
        return {};
    if (type == platform::kRegSz) {
        const std::string text(data, std::find(data, data + size, '\0'));
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return {};
        return static_cast<std::uint32_t>(platform::numberFromText(text));
    }
    if ((type != platform::kRegBinary && type != platform::kRegDword) || size > 4) return {};
    std::uint32_t value = 0;
    for (unsigned i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(data[i]);
    return value;
}

KeyPresence registryKeyPresence(const std::string& path)
{
    platform::OwnedRegistryKey key;
    const long status = platform::registryOpenKey(kCatalogueRoot, path,
                                                  platform::RegistryAccess::Read, key.receive());
    if (status == platform::kRegistryOk) {
        return KeyPresence::Present;
    }
    return status == platform::kRegistryNotFound ? KeyPresence::Absent : KeyPresence::Unknown;
}

std::string familyProductSubkey(const std::string& familyPath)
{
    std::string lowest = "1";
    long lowestNumber = -1;
    for (const std::string& name : listSubkeys(familyPath)) {
        if (name == "1") return name;
        if (name.empty() || name.size() > 9 ||
            name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long number = std::stol(name);
        if (lowestNumber < 0 || number < lowestNumber) {
            lowestNumber = number;
            lowest = name;
        }
    }
    return lowest;
}

bool registryKeyExists(const std::string& path)
{
    return registryKeyPresence(path) == KeyPresence::Present;
}

std::string folderHoldsMapsetText(const std::string& folder, const std::string& key)
{
    return "The folder " + folder + " holds mapset " + key +
           ". Please choose another mapset name or folder.";
}

} // namespace oxlo::catalogue
