// The reader of a bundle's Info.xml over the platform's XML parser (libxml2 natively, XmlLite
// under Wine): encodings, entities, comments, absent elements and broken documents.
#include "catalogue/bundle_info.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>


namespace oxlo::testing {
namespace {

using catalogue::BundleInfo;
using catalogue::parseBundleInfo;

const std::string kOpen = "<MapProduct xmlns=\"http://www.garmin.com/xmlschemas/MapProduct/v1\">";

// UTF-16LE with its byte-order mark; `text` is ASCII apart from the two-byte "é" (U+00E9).
std::string utf16(const std::string& text)
{
    std::string out = "\xFF\xFE";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\xC3\xA9") == 0) {
            out += "\xE9";
            out += '\0';
            ++i;
            continue;
        }
        out += text[i];
        out += '\0';
    }
    return out;
}

TEST(BundleInfo, ReadsTheFieldsOfEachFormOfDocument)
{
    const std::string body = "<Name>Caf\xC3\xA9 Map</Name><ID>4711</ID><TYP>a.typ</TYP>"
                             "<SubProduct><Name>One</Name><ID>1</ID><BaseMap>B</BaseMap>"
                             "<TDB>t.tdb</TDB><Directory>Product1</Directory></SubProduct>"
                             "</MapProduct>";
    struct Case {
        const char* what;
        std::string document;
        std::string name;
        int id;
        bool withProduct;
    };
    const Case cases[] = {
        {"UTF-8 with declaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + kOpen + body,
         "Caf\xC3\xA9 Map", 4711, true},
        {"UTF-16 with byte-order mark",
         utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + kOpen + body), "Caf\xC3\xA9 Map",
         4711, true},
        {"entities and character references",
         kOpen + "<Name> A &amp; B &#x263A;&lt;</Name><ID>&#52;2</ID></MapProduct>",
         "A & B \xE2\x98\xBA<", 42, false},
        {"comments, CDATA and a prefix",
         "<!-- made by hand --><g:MapProduct xmlns:g=\"http://www.garmin.com/xmlschemas/"
         "MapProduct/v1\"><g:Name>Top<!-- x -->o<![CDATA[ <b> ]]></g:Name><g:ID>7</g:ID>"
         "</g:MapProduct>",
         "Topo <b>", 7, false},
        {"every element absent", kOpen + "</MapProduct>", "", 0, false},
        {"elements of another namespace",
         kOpen + "<Name xmlns=\"urn:other\">X</Name><ID>3</ID></MapProduct>", "", 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<BundleInfo> info = parseBundleInfo(c.document);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->name, c.name);
        EXPECT_EQ(info->id, c.id);
        if (c.withProduct) {
            ASSERT_EQ(info->subProducts.size(), 1u);
            EXPECT_EQ(info->typ, "a.typ");
            EXPECT_EQ(info->subProducts[0].tdb, "t.tdb");
            EXPECT_EQ(info->subProducts[0].baseMap, "B");
            EXPECT_EQ(info->subProducts[0].directory, "Product1");
            EXPECT_EQ(info->subProducts[0].id, 1);
        } else {
            EXPECT_TRUE(info->subProducts.empty());
        }
    }
}

TEST(BundleInfo, RefusesDocumentsThatAreNotABundlesInfo)
{
    std::string deep = kOpen;
    for (int i = 0; i < 100; ++i) deep += "<a>";
    // Wine's xmllite.dll closes elements left open at the end, keeps an undefined entity as text
    // and replaces malformed UTF-8, where Windows' own and libxml2 refuse the document; those
    // cases are checked where the parser is strict.
    constexpr bool kStrict = !OXLO_LENIENT_XML_PARSER;
    const struct {
        const char* what;
        std::string document;
        bool refused = true;
    } cases[] = {
        {"empty", ""},
        {"unclosed root", kOpen + "<Name>X</Name>", kStrict},
        {"crossed elements", kOpen + "<Name><ID></Name></ID></MapProduct>"},
        {"undefined entity", kOpen + "<Name>&nbsp;</Name></MapProduct>", kStrict},
        {"document type with an entity",
         "<!DOCTYPE MapProduct [<!ENTITY e \"x\">]>" + kOpen + "<Name>&e;</Name></MapProduct>"},
        {"no namespace", "<MapProduct><Name>X</Name></MapProduct>"},
        {"another root", "<Map xmlns=\"http://www.garmin.com/xmlschemas/MapProduct/v1\"/>"},
        {"two roots", kOpen + "</MapProduct>" + kOpen + "</MapProduct>"},
        {"nested too deep", deep},
        {"text that is not UTF-8", kOpen + "<Name>\xFF\xFE</Name></MapProduct>", kStrict},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.refused) EXPECT_FALSE(parseBundleInfo(c.document).has_value());
    }
}

TEST(BundleInfo, ReadsTheInfoThatMkgmapWrites)
{
    const auto content =
        readWholeFile(std::string(OXLO_TEST_DATA) + "/bundles/Test Fam.gmap/Info.xml");
    const std::optional<BundleInfo> info = parseBundleInfo(content.value_or(""));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->name, "Test Fam");
    EXPECT_EQ(info->id, 4711);
    EXPECT_EQ(info->idx, "Test Fam.mdx");
    EXPECT_EQ(info->mdr, "Test Fam_mdr");
    EXPECT_EQ(info->dataVersion, "100");
    ASSERT_EQ(info->subProducts.size(), 1u);
    EXPECT_EQ(info->subProducts[0].baseMap, "Test Fam");
    EXPECT_EQ(info->subProducts[0].tdb, "Test Fam.tdb");
}

} // namespace
} // namespace oxlo::testing
