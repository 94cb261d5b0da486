// The Info.xml of a BaseCamp bundle (a NAME.gmap folder), as mkgmap --gmapi and Garmin's
// installers write it: the family's name and ID, its search index and TYP file, and one
// SubProduct per product with its overview map and .TDB.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oxlo::catalogue {

inline constexpr const char* kBundleNamespace = "http://www.garmin.com/xmlschemas/MapProduct/v1";
inline constexpr const char* kBundleInfoFile = "Info.xml";

// Paths as written: IDX, MDR and TYP relative to the bundle folder, BaseMap and TDB relative to
// their SubProduct's Directory. An absent element leaves its field empty (or 0).
struct BundleSubProduct {
    std::string name;
    std::int32_t id = 0;
    std::string baseMap;   // a folder of map parts
    std::string tdb;
    std::string directory;
};

struct BundleInfo {
    std::string name;
    std::string dataVersion;
    std::string dataFormat;
    std::int32_t id = 0; // the family ID
    std::string idx;
    std::string mdr;
    std::string typ;
    std::vector<BundleSubProduct> subProducts;
};

// The document's content; nothing when it is not well-formed XML or its root is not a
// MapProduct of kBundleNamespace. Texts are trimmed of surrounding white space.
std::optional<BundleInfo> parseBundleInfo(std::string_view document);

// Reads `bundleFolder`\Info.xml (at most kMaxBundleInfoSize bytes); nothing when it is missing,
// larger or not a bundle's document.
inline constexpr std::int64_t kMaxBundleInfoSize = 1024 * 1024;
std::optional<BundleInfo> readBundleInfo(const std::string& bundleFolder);

} // namespace oxlo::catalogue
