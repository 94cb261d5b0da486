// parseXmlDocument over libxml2's streaming reader, so the portable platform reads documents as
// XmlLite does on Windows: no DTD, no network, no message printed.
#include "platform/xml.h"
#include "platform/xml_tree.h"

#include <libxml/xmlreader.h>

#include <climits>
#include <memory>

namespace oxlo::platform {
namespace {

struct ReaderFree {
    void operator()(xmlTextReaderPtr reader) const { xmlFreeTextReader(reader); }
};

std::string textOf(const xmlChar* value)
{
    return value ? reinterpret_cast<const char*>(value) : "";
}

} // namespace

std::optional<XmlElement> parseXmlDocument(std::string_view bytes)
{
    if (bytes.size() > INT_MAX) return std::nullopt;
    const std::unique_ptr<xmlTextReader, ReaderFree> reader(xmlReaderForMemory(
        bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!reader) return std::nullopt;
    XmlTreeBuilder tree;
    int status = 0;
    while ((status = xmlTextReaderRead(reader.get())) == 1) {
        switch (xmlTextReaderNodeType(reader.get())) {
        case XML_READER_TYPE_ELEMENT: {
            const bool empty = xmlTextReaderIsEmptyElement(reader.get()) == 1;
            if (!tree.open(textOf(xmlTextReaderConstNamespaceUri(reader.get())),
                           textOf(xmlTextReaderConstLocalName(reader.get()))))
                return std::nullopt;
            if (empty) tree.close();
            break;
        }
        case XML_READER_TYPE_END_ELEMENT:
            if (!tree.close()) return std::nullopt;
            break;
        case XML_READER_TYPE_TEXT:
        case XML_READER_TYPE_CDATA:
        case XML_READER_TYPE_WHITESPACE:
        case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
            tree.text(textOf(xmlTextReaderConstValue(reader.get())));
            break;
        // XmlLite refuses a DTD unless told otherwise; so does this side, and an entity
        // reference left unexpanded could only come from one.
        case XML_READER_TYPE_DOCUMENT_TYPE:
        case XML_READER_TYPE_ENTITY_REFERENCE:
            return std::nullopt;
        default:
            break; // comments, processing instructions, the declaration
        }
    }
    if (status != 0) return std::nullopt;
    return tree.finish();
}

} // namespace oxlo::platform
