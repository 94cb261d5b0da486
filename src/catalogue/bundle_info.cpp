#include "catalogue/bundle_info.h"

#include "platform/services.h"
#include "platform/xml.h"

namespace oxlo::catalogue {
namespace {

// Numbered file used only while Info.xml is read whole.
constexpr int kInfoFileNumber = 5;

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The text of the first child named `name` in the bundle's namespace; empty when there is none.
std::string childText(const platform::XmlElement& parent, const char* name)
{
    for (const platform::XmlElement& child : parent.children)
        if (child.namespaceUri == kBundleNamespace && child.localName == name)
            return trimmed(child.text);
    return {};
}

BundleSubProduct subProductOf(const platform::XmlElement& element)
{
    BundleSubProduct product;
    product.name = childText(element, "Name");
    product.id = platform::numberFromText(childText(element, "ID"));
    product.baseMap = childText(element, "BaseMap");
    product.tdb = childText(element, "TDB");
    product.directory = childText(element, "Directory");
    return product;
}

} // namespace

std::optional<BundleInfo> parseBundleInfo(std::string_view document)
{
    const std::optional<platform::XmlElement> root = platform::parseXmlDocument(document);
    if (!root || root->namespaceUri != kBundleNamespace || root->localName != "MapProduct")
        return std::nullopt;
    BundleInfo info;
    info.name = childText(*root, "Name");
    info.dataVersion = childText(*root, "DataVersion");
    info.dataFormat = childText(*root, "DataFormat");
    info.id = platform::numberFromText(childText(*root, "ID"));
    info.idx = childText(*root, "IDX");
    info.mdr = childText(*root, "MDR");
    info.typ = childText(*root, "TYP");
    for (const platform::XmlElement& child : root->children)
        if (child.namespaceUri == kBundleNamespace && child.localName == "SubProduct")
            info.subProducts.push_back(subProductOf(child));
    return info;
}

std::optional<BundleInfo> readBundleInfo(const std::string& bundleFolder)
{
    const std::string path = bundleFolder + "\\" + kBundleInfoFile;
    const std::int64_t size = platform::fileSize(path);
    if (size <= 0 || size > kMaxBundleInfoSize) return std::nullopt;
    if (platform::openFileForReading(kInfoFileNumber, path) == 0) return std::nullopt;
    std::string document(static_cast<std::size_t>(size), '\0');
    const std::size_t read = platform::readData(kInfoFileNumber, document.data(), document.size());
    platform::closeFile(kInfoFileNumber);
    if (read != document.size()) return std::nullopt;
    return parseBundleInfo(document);
}

} // namespace oxlo::catalogue
