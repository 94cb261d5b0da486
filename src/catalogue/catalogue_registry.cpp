#include "catalogue/catalogue_registry.h"

#include "catalogue/registry_layout.h"
#include "platform/registry_store.h"

namespace oxlo::catalogue {

namespace {

constexpr unsigned kNameBuffer = 255;

class ReadKey {
public:
    explicit ReadKey(const std::string& path)
        : open_(platform::registryOpenKey(kCatalogueRoot, path, platform::RegistryAccess::Read,
                                          &handle_) == platform::kRegistryOk)
    {
    }
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;
    ~ReadKey()
    {
        if (open_) {
            platform::registryCloseKey(handle_);
        }
    }
    bool open() const { return open_; }
    platform::RegistryHandle get() const { return handle_; }

private:
    platform::RegistryHandle handle_ = 0;
    bool open_ = false;
};

} // namespace

std::vector<std::string> listSubkeys(const std::string& path)
{
    std::vector<std::string> names;
    ReadKey key(path);
    if (!key.open()) {
        return names;
    }
    for (unsigned index = 0;; ++index) {
        char name[kNameBuffer];
        unsigned length = kNameBuffer;
        if (platform::registryEnumKey(key.get(), index, name, &length) != platform::kRegistryOk) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

bool registryKeyExists(const std::string& path)
{
    return ReadKey(path).open();
}

} // namespace oxlo::catalogue
