// oxlo list and oxlo check: the rows of a scan with their problems, as text or JSON.
#include "cli/commands.h"
#include "cli/command_support.h"
#include "cli/mapset_lookup.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_layout.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace oxlo::cli {

namespace {

using catalogue::InstalledMapset;

nlohmann::json rowJson(const InstalledMapset& row) {
    nlohmann::json problems = nlohmann::json::array();
    for (const auto& problem : row.problems) problems.push_back(problem.text);
    return {{"key", keyOf(row)},
            {"kind", catalogue::isBundle(row)                    ? "bundle"
                     : row.branch == catalogue::kFamiliesBranch ? "family"
                                                                : "product"},
            {"code", codeOf(row)},
            {"name", shownNameOf(row)},
            {"folder", row.loc},
            {"index", row.tdb},
            {"problems", problems}};
}

std::string jsonOf(const std::vector<int>& rows) {
    nlohmann::json array = nlohmann::json::array();
    for (const int slot : rows) array.push_back(rowJson(catalogue::installedMapsets[slot]));
    // Registry texts are not always valid UTF-8; the reader gets U+FFFD where they are not.
    return array.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string padded(const std::string& text, std::size_t width) {
    return text + std::string(width - std::min(width, text.size()), ' ');
}

std::vector<int> allRows() {
    std::vector<int> rows;
    for (int slot = 1; slot <= catalogue::mapsetCount; ++slot) rows.push_back(slot);
    return rows;
}

} // namespace

int listMapsets(const Streams& streams, bool json) {
    scanQuietly(streams);
    const std::vector<int> rows = allRows();
    if (json) {
        streams.out(jsonOf(rows));
        return kExitDone;
    }
    std::size_t codeWidth = 4, nameWidth = 4;
    for (const int slot : rows) {
        codeWidth = std::max(codeWidth, codeOf(catalogue::installedMapsets[slot]).size());
        nameWidth = std::max(nameWidth, shownNameOf(catalogue::installedMapsets[slot]).size());
    }
    streams.out(padded("CODE", codeWidth) + "  " + padded("NAME", nameWidth) +
                "  PROBLEMS  FOLDER\n");
    for (const int slot : rows) {
        const InstalledMapset& row = catalogue::installedMapsets[slot];
        streams.out(padded(codeOf(row), codeWidth) + "  " + padded(shownNameOf(row), nameWidth) +
                    "  " + padded(std::to_string(row.problems.size()), 8) + "  " + row.loc + "\n");
    }
    return kExitDone;
}

int checkMapsets(const Streams& streams, bool json, const std::vector<std::string>& names) {
    scanQuietly(streams);
    std::vector<int> rows = names.empty() ? allRows() : std::vector<int>{};
    for (const std::string& name : names) {
        const Lookup found = findMapset(name);
        if (found.row == 0) {
            streams.err("oxlo: " + found.failure + "\n");
            return kExitFailed;
        }
        rows.push_back(found.row);
    }
    bool problems = false;
    for (const int slot : rows) {
        const InstalledMapset& row = catalogue::installedMapsets[slot];
        for (const auto& problem : row.problems) {
            problems = true;
            if (!json) streams.out(keyOf(row) + ": " + problem.text + "\n");
        }
    }
    if (json) streams.out(jsonOf(rows));
    return problems ? kExitFailed : kExitDone;
}

} // namespace oxlo::cli
