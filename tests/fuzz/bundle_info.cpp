// A bundle's Info.xml through the platform's XML parser. Input: the document's bytes. Whatever
// it holds, every text read is valid UTF-8 without surrounding white space.
#include "fuzz_support.h"

#include "catalogue/bundle_info.h"

#include <cstdint>
#include <string>

namespace {

using oxlo::fuzz::printable;
using oxlo::fuzz::require;

bool validUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2
                                                  : lead >= 0xE0 && lead < 0xF0   ? 3
                                                  : lead >= 0xF0 && lead < 0xF5   ? 4
                                                                                  : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

bool clean(const std::string& text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    return validUtf8(text) && (text.empty() || (!blank(text.front()) && !blank(text.back())));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view document(reinterpret_cast<const char*>(data), size);
    const auto context = [&] { return " (document " + printable(document) + ")"; };
    const auto parsed = oxlo::catalogue::parseBundleInfo(document);
    if (!parsed) return 0;
    std::vector<const std::string*> texts = {&parsed->name, &parsed->dataVersion,
                                             &parsed->dataFormat, &parsed->idx, &parsed->mdr,
                                             &parsed->typ};
    for (const auto& product : parsed->subProducts)
        for (const std::string* text :
             {&product.name, &product.baseMap, &product.tdb, &product.directory})
            texts.push_back(text);
    for (const std::string* text : texts)
        require(clean(*text),
                [&] { return "the text '" + printable(*text) + "' is not clean" + context(); });
    return 0;
}
