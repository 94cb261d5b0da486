// The commands of oxlo.com, each giving its exit status (cli.h). Options are parsed before.
#pragma once

#include "cli/cli.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace oxlo::cli {

int listMapsets(const Streams& streams, bool json);
int checkMapsets(const Streams& streams, bool json, const std::vector<std::string>& names);
int uninstallMapset(const Streams& streams, const std::string& name, bool deleteFiles, bool yes);
int installMapset(const Streams& streams, const std::string& path, bool yes, bool stampTyp);
int exportMapset(const Streams& streams, const std::string& name, const std::string& folder,
                 bool yes);
int moveMapset(const Streams& streams, const std::string& name, const std::string& folder,
               bool yes);
int saveForGps(const Streams& streams, const std::string& file,
               const std::vector<std::string>& names, bool yes);
int backUpMapset(const Streams& streams, const std::string& name, const std::string& file);

struct CreateOptions {
    std::string name;
    std::vector<std::string> maps;
    std::string compiler; // "mkgmap", "cgpsmapper" or empty: as the window starts
    std::string folder;
    std::optional<int> familyId;
    std::string typ;
    bool yes = false;
};
int createMapset(const Streams& streams, const CreateOptions& options);

int mapAttributes(const Streams& streams, const std::vector<std::string>& maps,
                  std::optional<int> priority, std::optional<bool> transparent, bool yes);

struct EditOptions {
    std::optional<std::string> name;
    std::optional<std::int64_t> familyId; // wider than the field takes: its range message answers
    std::optional<std::int64_t> productCode;
    bool yes = false;
};
int editMapset(const Streams& streams, const std::string& name, const EditOptions& options);
int locateMapset(const Streams& streams, const std::string& name, const std::string& folder,
                 bool yes);
int removeMapsetEntry(const Streams& streams, const std::string& name, bool yes);
int fixTypFamilyId(const Streams& streams, const std::string& name, bool yes);

// For commands that change HKLM or %ProgramData%: false, after saying so, without the rights.
bool haveAdministratorRights(const Streams& streams);

} // namespace oxlo::cli
