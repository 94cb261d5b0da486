#include "generated/promises.h"

#include "platform/services.h"
#include "support/registry_access.h"
#include "support/file_bytes.h"
#include "support/reg_file_reader.h"

#include <algorithm>

namespace oxlo::generated {
namespace {

const std::vector<std::string> kProblemNames = {
    "missing folder", "missing index", "missing overview map", "missing TYP", "TYP of another family",
    "index of another family", "shared family ID", "index of another product code", "not a TYP",
    "unreadable family ID", "unreadable bundle", "path outside the bundle"};

// Paths compare as Windows compares them; folding ASCII is enough for the paths laid here.
std::string folded(std::string path)
{
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

bool samePath(const std::string& a, const std::string& b) { return folded(a) == folded(b); }

bool listed(const std::vector<std::string>& paths, const std::string& path)
{
    return std::any_of(paths.begin(), paths.end(),
                       [&](const std::string& p) { return samePath(p, path); });
}

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

bool isBelow(const std::string& path, const std::string& folder)
{
    const std::string prefix = folded(folder) + (folded(folder).ends_with("\\") ? "" : "\\");
    return !folder.empty() && folded(path).rfind(prefix, 0) == 0;
}

const RowState* findRow(const std::vector<RowState>& rows, const RowState& like)
{
    for (const auto& row : rows)
        if (like.fullKey.empty() ? row.fullKey.empty() && samePath(row.folder, like.folder)
                                 : platform::sameTextIgnoringCase(row.fullKey, like.fullKey))
            return &row;
    return nullptr;
}

bool isOldProduct(const RowState& row)
{
    const std::string products = std::string(testing::kMapsourceProducts) + "\\";
    return row.fullKey.size() > products.size() &&
           platform::sameTextIgnoringCase(row.fullKey.substr(0, products.size()), products) &&
           platform::numberFromText(row.fullKey.substr(products.size())) <= 0;
}

// The row in `rows` that names the same index, for a row whose key changed.
const RowState* sameIndex(const std::vector<RowState>& rows, const RowState& like)
{
    for (const auto& row : rows)
        if (!row.files.empty() && !like.files.empty() && samePath(row.files[0], like.files[0]))
            return &row;
    return nullptr;
}

const RowState* operatedRow(const World& before, const StepRun& run)
{
    for (const auto& row : before.rows) {
        if (!run.operatedKey.empty() && platform::sameTextIgnoringCase(row.fullKey, run.operatedKey))
            return &row;
        if (run.operatedKey.empty() && row.fullKey.empty() && !run.operatedFolder.empty() &&
            samePath(row.folder, run.operatedFolder))
            return &row;
    }
    return nullptr;
}

class PromiseCheck {
public:
    PromiseCheck(const World& before, const World& after, const StepRun& run)
        : before_(before), after_(after), run_(run), operated_(operatedRow(before, run))
    {
        std::set_difference(after.recycled.begin(), after.recycled.end(), before.recycled.begin(),
                            before.recycled.end(), std::inserter(recycledNow_, recycledNow_.end()));
        for (const auto& [path, bytes] : after.files) afterFolded_.emplace(folded(path), &bytes);
        protectOthers();
    }

    std::vector<BrokenPromise> run()
    {
        if (!run_.escaped.empty()) broken(0, "an exception escaped: " + run_.escaped);
        if (!after_.jsonFault.empty()) broken(0, after_.jsonFault);
        checkFiles();
        checkRegistry();
        if (run_.outcome == Outcome::Success) {
            if (run_.effect)
                if (const std::string missing = run_.effect(); !missing.empty())
                    broken(3, "a success, but " + missing);
            checkProblems();
        }
        checkCopies();
        return found_;
    }

private:
    void broken(int promise, const std::string& what) { found_.push_back({promise, what}); }

    const std::string* afterBytes(const std::string& path) const
    {
        const auto it = afterFolded_.find(folded(path));
        return it == afterFolded_.end() ? nullptr : it->second;
    }

    // What another mapset names, and the files in its folder that the operated one does not name.
    void protectOthers()
    {
        for (const auto& row : before_.rows) {
            if (&row == operated_) continue;
            for (const auto& file : row.files) protected_.emplace(folded(file), row.key);
            for (const auto& [path, bytes] : before_.files) {
                const bool inFolder = row.fullKey.empty() ? isBelow(path, row.folder)
                                                          : samePath(folderOf(path), row.folder);
                // A TYP file is a family's only when the family names it.
                if (inFolder && !folded(path).ends_with(".typ") &&
                    !(operated_ && listed(operated_->files, path)))
                    protected_.emplace(folded(path), row.key);
            }
        }
    }

    bool allowed(const std::string& path, const std::string& bytes)
    {
        if (listed(run_.mayRewrite, path)) return true;
        // Deleted for good after the user's Yes to the question that says so.
        if (!run_.deletedForGood.empty() && isBelow(path, run_.deletedForGood)) return true;
        if (listed(run_.backedUp, path)) {
            const std::string* copy = afterBytes(path + ".bak");
            return copy && (*copy == bytes || before_.files.contains(path + ".bak"));
        }
        if (run_.recycles) {
            const auto it = recycledNow_.find(bytes);
            if (it == recycledNow_.end()) return false;
            recycledNow_.erase(it);
            return true;
        }
        return false;
    }

    void checkFiles()
    {
        const bool refused = run_.outcome == Outcome::Refused;
        for (const auto& [path, bytes] : before_.files) {
            const std::string* now = afterBytes(path);
            if (now && *now == bytes) continue;
            const std::string what = path + (now ? " changed" : " is gone");
            const auto owner = listed(run_.chosenFiles, path) ? protected_.end()
                                                              : protected_.find(folded(path));
            if (owner != protected_.end())
                broken(2, what + ", which belongs to " + owner->second);
            else if (refused)
                broken(3, "after a refusal or failure " + what);
            else if (!allowed(path, bytes))
                broken(1, what + ", neither in the Recycle Bin nor kept as .bak");
        }
        if (!refused) return;
        std::set<std::string> earlier;
        for (const auto& [path, bytes] : before_.files) earlier.insert(folded(path));
        for (const auto& [path, bytes] : after_.files)
            if (!earlier.contains(folded(path)))
                broken(3, "after a refusal or failure a new file " + path + " is there");
    }

    void checkRegistry()
    {
        if (run_.outcome == Outcome::Refused) {
            for (const auto& line : testing::registryDifferences(before_.registry, after_.registry))
                broken(3, "after a refusal or failure the registry differs: " + line);
            return;
        }
        for (const auto& row : before_.rows) {
            if (&row == operated_ || row.fullKey.empty() || (run_.repairs && isOldProduct(row)))
                continue;
            if (!run_.operatedKey.empty() &&
                platform::sameTextIgnoringCase(row.fullKey, run_.operatedKey))
                continue;
            for (const auto& line :
                 testing::registryDifferences(testing::keysBelow(before_.registry, row.fullKey),
                                              testing::keysBelow(after_.registry, row.fullKey)))
                broken(2, "the registry entry of " + row.key + ": " + line);
        }
    }

    void checkProblems()
    {
        for (const auto& row : after_.rows) {
            const RowState* earlier = findRow(before_.rows, row);
            if (!earlier) earlier = sameIndex(before_.rows, row); // moved to another key
            if (!earlier && operated_ && !row.files.empty() && !operated_->files.empty() &&
                samePath(folderOf(row.files[0]), folderOf(operated_->files[0])))
                earlier = operated_; // renamed
            const bool operated = !run_.operatedKey.empty() &&
                                  platform::sameTextIgnoringCase(row.fullKey, run_.operatedKey);
            std::string fresh;
            for (int problem : row.problems)
                if ((!earlier || !earlier->problems.contains(problem)) &&
                    !(operated && run_.acceptedProblems.contains(problem)))
                    fresh += (fresh.empty() ? "" : ", ") +
                             kProblemNames[static_cast<std::size_t>(problem)];
            if (!fresh.empty()) broken(4, row.key + " has new problems: " + fresh);
        }
    }

    void checkCopies()
    {
        for (const auto& copy : after_.copies) {
            if (before_.copies.contains(copy)) continue;
            testing::RegistrySnapshot state = before_.registry;
            const auto bytes = testing::readWholeWindowsFile(copy);
            const auto key = bytes ? testing::importRegFile(*bytes, state) : std::nullopt;
            if (!key) {
                broken(5, "the copy " + copy + " cannot be read back");
                continue;
            }
            for (const auto& line : testing::registryDifferences(
                     testing::keysBelow(before_.registry, *key), testing::keysBelow(state, *key)))
                broken(5, "the copy " + copy + " read back: " + line);
        }
    }

    const World& before_;
    const World& after_;
    const StepRun& run_;
    const RowState* operated_;
    std::multiset<std::string> recycledNow_;
    std::map<std::string, const std::string*> afterFolded_;
    std::map<std::string, std::string> protected_; // folded path -> the mapset it belongs to
    std::vector<BrokenPromise> found_;
};

} // namespace

std::vector<BrokenPromise> checkPromises(const World& before, const World& after,
                                         const StepRun& run)
{
    return PromiseCheck(before, after, run).run();
}

} // namespace oxlo::generated
