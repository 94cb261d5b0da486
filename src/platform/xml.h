// Reading XML documents (the Info.xml of a BaseCamp bundle) through the system's own XML parser:
// XmlLite on Win32, libxml2 on the portable platform.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oxlo::platform {

// One element of a parsed document. Names and text are UTF-8.
struct XmlElement {
    std::string namespaceUri; // empty when the element is in no namespace
    std::string localName;    // without prefix
    std::string text;         // its own character data (text, CDATA, white space) in document
                              // order, entities and character references replaced
    std::vector<XmlElement> children;
};

// The deepest nesting parseXmlDocument accepts; deeper documents count as broken.
inline constexpr int kMaxXmlDepth = 64;

// Parses a whole document held in `bytes`: UTF-8 or UTF-16 (told by its byte-order mark or its
// declaration). Comments and processing instructions are skipped, attributes ignored. The root
// element, or nothing when the document is not well-formed, nests deeper than kMaxXmlDepth, or
// carries a document type declaration (no DTD is ever read, so no outside file or entity
// expansion is reached).
std::optional<XmlElement> parseXmlDocument(std::string_view bytes);

} // namespace oxlo::platform
