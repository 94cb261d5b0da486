#include "catalogue/mapset_check.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/mapset_names.h"
#include "catalogue/registry_layout.h"
#include "mapfile/map_file.h"
#include "mapfile/typ_file.h"
#include "platform/services.h"

#include <optional>

namespace oxlo::catalogue {

namespace {

using platform::textFromNumber;


void add(std::vector<MapsetProblem>& problems, ProblemKind kind, std::string text)
{
    problems.push_back({kind, std::move(text)});
}

// `unread` (when given) gets the file whose ID could not be read: no problem then is no proof
// that the file fits.
void checkTyp(const InstalledMapset& row, std::vector<MapsetProblem>& problems,
              std::string* unread = nullptr)
{
    if (row.typ.empty()) return;
    if (platform::fileSize(row.typ) < 0) {
        add(problems, ProblemKind::MissingTyp, missingFileText(kValueTyp, row.typ));
        return;
    }
    if (mapfile::typLayout(row.typ) == mapfile::TypLayout::Other) {
        add(problems, ProblemKind::NotATyp, "The TYP file " + row.typ + " is not a TYP file.");
        return;
    }
    // Without the family's own ID there is nothing to compare the file's with.
    if (!row.idRead) return;
    const std::optional<std::uint16_t> id =
        mapfile::readHeaderWord(row.typ, mapfile::kTypFamilyIdPosition);
    if (!id && unread) *unread = row.typ;
    if (id && *id != row.id)
        add(problems, ProblemKind::ForeignTyp,
            "The TYP file " + row.typ + " belongs to family ID " + textFromNumber(*id) +
                ", not to this mapset's family ID " + textFromNumber(row.id) + ".");
}

void checkIndexFields(const InstalledMapset& row, std::vector<MapsetProblem>& problems,
                      std::string* unread = nullptr)
{
    if (row.form == kFormFamily) {
        if (!row.idRead) return;
        const auto id = mapfile::readHeaderWord(row.tdb, mapfile::kTdbFamilyIdPosition);
        if (!id && unread) *unread = row.tdb;
        if (id && *id != row.id)
            add(problems, ProblemKind::IndexFamilyId,
                "The index file " + row.tdb + " holds family ID " + textFromNumber(*id) +
                    ", not the registry's " + textFromNumber(row.id) + ".");
        return;
    }
    // The row's code was read from the .TDB by the scan; a key named otherwise is not its own.
    if (row.form == kFormNumericProduct && platform::numberFromText(row.keyName) != row.id)
        add(problems, ProblemKind::IndexProductCode,
            "The index file " + row.tdb + " holds product code " + textFromNumber(row.id) +
                ", but the entry is registered as " +
                relativeKeyPath(kProductsBranch, row.keyName) + ".");
}

// Registered families and readable bundles share MapSource's and BaseCamp's family IDs.
bool holdsFamilyId(const InstalledMapset& row)
{
    return (row.form == kFormFamily && row.idRead) || (isBundle(row) && row.bundleInfoRead);
}

void checkSharedFamilyId(const InstalledMapset& row, const std::vector<const InstalledMapset*>& rows,
                         std::vector<MapsetProblem>& problems)
{
    if (!holdsFamilyId(row)) return;
    for (const InstalledMapset* other : rows) {
        if (other == &row || !holdsFamilyId(*other) || other->id != row.id) continue;
        add(problems, ProblemKind::SharedFamilyId,
            "Family ID " + textFromNumber(row.id) + " is also used by mapset " +
                relativeKeyPath(other->branch, other->keyName) +
                "; MapSource shows only one of them.");
    }
}

// A bundle holds its own files: each SubProduct's .TDB and overview map folder, and the TYP
// file, all named by its Info.xml.
std::vector<MapsetProblem> checkBundle(const InstalledMapset& row,
                                       const std::vector<const InstalledMapset*>& rows)
{
    std::vector<MapsetProblem> problems;
    if (!row.bundleInfoRead) {
        add(problems, ProblemKind::UnreadableBundle, "The bundle's Info.xml cannot be read.");
        return problems;
    }
    for (const std::string& path : row.outsideBundle)
        add(problems, ProblemKind::OutsideBundle, "Info.xml names " + path + " outside its bundle.");
    for (const InstalledMapset::BundlePart& part : row.bundleParts) {
        if (!part.tdb.empty() && platform::fileSize(part.tdb) < 0) {
            add(problems, ProblemKind::MissingIndex,
                "The index file " + part.tdb + " does not exist.");
        } else if (!part.tdb.empty()) {
            const auto id = mapfile::readHeaderWord(part.tdb, mapfile::kTdbFamilyIdPosition);
            if (id && *id != row.id)
                add(problems, ProblemKind::IndexFamilyId,
                    "The index file " + part.tdb + " holds family ID " + textFromNumber(*id) +
                        ", not the bundle's " + textFromNumber(row.id) + ".");
        }
        if (!part.baseMap.empty() && platform::fileSize(part.baseMap) != platform::kIsFolder)
            add(problems, ProblemKind::MissingOverview,
                "The overview map " + part.baseMap + " does not exist.");
    }
    checkTyp(row, problems);
    checkSharedFamilyId(row, rows, problems);
    return problems;
}

} // namespace

std::vector<MapsetProblem> checkMapset(const InstalledMapset& row,
                                       const std::vector<const InstalledMapset*>& rows)
{
    if (isBundle(row)) return checkBundle(row, rows);
    std::vector<MapsetProblem> problems;
    // The files in a missing folder are missing as a consequence: that problem stands alone.
    if (platform::fileSize(row.loc) != platform::kIsFolder) {
        add(problems, ProblemKind::MissingFolder, missingFileText(kValueLoc, row.loc));
        return problems;
    }
    if (row.form == kFormFamily && !row.idRead)
        add(problems, ProblemKind::UnreadableFamilyId,
            "The family ID of mapset " + relativeKeyPath(kFamiliesBranch, row.keyName) +
                " cannot be read from its registry entry.");
    const std::int64_t indexSize = platform::fileSize(row.tdb);
    if (indexSize == platform::kIsFolder)
        add(problems, ProblemKind::MissingIndex,
            "The index file " + row.tdb + " is a folder, not a file.");
    else if (indexSize < 0)
        add(problems, ProblemKind::MissingIndex, missingFileText(kValueTdb, row.tdb));
    if (!row.bmap.empty() && platform::fileSize(row.bmap) < 0)
        add(problems, ProblemKind::MissingOverview, missingFileText(kValueBmap, row.bmap));
    if (row.form == kFormFamily) checkTyp(row, problems);
    if (indexSize >= 0) checkIndexFields(row, problems);
    checkSharedFamilyId(row, rows, problems);
    return problems;
}

void checkInstalledMapsets(int count)
{
    std::vector<const InstalledMapset*> rows;
    for (int slot = 1; slot <= count; ++slot) rows.push_back(&installedMapsets[slot]);
    for (int slot = 1; slot <= count; ++slot)
        installedMapsets[slot].problems = checkMapset(installedMapsets[slot], rows);
}

std::optional<MapsetProblem> newForeignFileProblem(const InstalledMapset& row,
                                                  const InstalledMapset& moved)
{
    if (isBundle(moved)) return std::nullopt;
    std::vector<MapsetProblem> problems;
    std::string unread;
    if (moved.form == kFormFamily) checkTyp(moved, problems, &unread);
    checkIndexFields(moved, problems, &unread);
    // A file whose ID could not be read may be another mapset's.
    if (!unread.empty())
        return MapsetProblem{ProblemKind::IndexFamilyId, "The file " + unread + " could not be read."};
    // An index of another family or code is another mapset's. A TYP file may keep a stale ID that
    // Fix TYP Family ID mends, so one that came along from a missing folder, whose files the check
    // never read, is the mapset's own.
    const bool typUnread = hasProblem(row, ProblemKind::MissingFolder);
    for (const MapsetProblem& problem : problems) {
        const bool foreign = (problem.kind == ProblemKind::ForeignTyp && !typUnread) ||
                             problem.kind == ProblemKind::IndexFamilyId ||
                             problem.kind == ProblemKind::IndexProductCode;
        if (foreign && !hasProblem(row, problem.kind)) return problem;
    }
    return std::nullopt;
}

std::string missingFileText(const std::string& valueName, const std::string& path)
{
    const std::string what = sameIgnoringCase(valueName, kValueTdb)    ? "The index file "
                             : sameIgnoringCase(valueName, kValueBmap) ? "The overview map "
                             : sameIgnoringCase(valueName, kValueTyp)  ? "The TYP file "
                             : sameIgnoringCase(valueName, kValueLoc)  ? "The folder "
                                                                       : "The search index ";
    return what + path + " does not exist.";
}

bool hasProblem(const InstalledMapset& row, ProblemKind kind)
{
    for (const MapsetProblem& problem : row.problems)
        if (problem.kind == kind) return true;
    return false;
}

std::string problemLines(const InstalledMapset& row)
{
    std::string lines;
    for (const MapsetProblem& problem : row.problems) {
        if (!lines.empty()) lines += "\n";
        lines += problem.text;
    }
    return lines;
}

} // namespace oxlo::catalogue
