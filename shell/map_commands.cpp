#include "shell/map_commands.h"

#include "console/console.h"
#include "console/registry.h"
#include "gameplay/match.h"
#include "gameplay/player.h"
#include "gameplay/presentation.h"
#include "shell/demo.h"
#include "world/map.h"
#include "world/map_name.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <strings.h>
#include <system_error>
#include <vector>

namespace {
constexpr char MAPS_FOLDER[] = "basev2/maps/";
constexpr M_MapName START_UP_MAP = {"v2dm1"};  // the map the start-up itself loads
constexpr size_t ARGUMENT_SIZE = 64;           // longer is no map name anyway

M_MapName startMap;
M_MapName mapInPlay;
char commandLineMap[ARGUMENT_SIZE];
bool commandLineGiven = false;

bool CheckName(const char *given, M_MapName *name)
{
    if (M_CheckMapName(given, name)) {
        return true;
    }
    char line[ARGUMENT_SIZE + 64];
    snprintf(line, sizeof line, "Bad map name \"%.*s\": up to %d letters, digits, _ and -\n",
             int(ARGUMENT_SIZE), given, int(M_NAME_MAX));
    C_Print(line, nullptr);
    return false;
}

// The argument without the blanks around it: a configuration file with carriage-return line
// ends must still name the map.
std::string TrimmedArgument()
{
    const C_ArgText argument = C_Arg();
    std::string text = argument.text;
    const char *const blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The names of the maps in the maps folder, sorted; files whose names no command could take
// are left out.
std::vector<std::string> MapNames()
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(MAPS_FOLDER, error), end; !error && it != end;
         it.increment(error)) {
        const std::filesystem::path &path = it->path();
        M_MapName name;
        if (path.extension() == M_MAP_SUFFIX && it->is_regular_file(error) &&
            M_CheckMapName(path.filename().c_str(), &name)) {
            names.push_back(name.text);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The console lowers every line, so `map MyArena` arrives as myarena: when no file has that exact
// name, a single map whose name differs only in case is the one meant.
void MatchCase(M_MapName *name)
{
    char path[sizeof MAPS_FOLDER + sizeof name->text + sizeof M_MAP_SUFFIX];
    M_MapPath(MAPS_FOLDER, *name, path, sizeof path);
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        return;
    }
    const std::string *match = nullptr;
    const std::vector<std::string> names = MapNames();
    for (const std::string &candidate : names) {
        if (strcasecmp(candidate.c_str(), name->text) == 0) {
            if (match != nullptr) {
                return;  // two candidates: neither is surely the one meant
            }
            match = &candidate;
        }
    }
    if (match != nullptr) {
        snprintf(name->text, sizeof name->text, "%s", match->c_str());
    }
}

void PlayMap()
{
    const std::string argument = TrimmedArgument();
    if (argument.empty()) {
        C_Print("Cannot find argument!\n", nullptr);
        return;
    }
    ChangeMap(argument.c_str());
}

void ListMaps()
{
    const std::vector<std::string> names = MapNames();
    if (names.empty()) {
        C_Print("No maps in ", MAPS_FOLDER, "\n", nullptr);
        return;
    }
    for (const std::string &name : names) {
        C_Print("   ", name.c_str(), "\n", nullptr);
    }
}

// A string variable: the registry's values are numbers, so g_map is a command that reports
// itself when given nothing.
void SetStartMap()
{
    const std::string argument = TrimmedArgument();
    if (argument.empty()) {
        C_Print("\"g_map\" is \"", startMap.text, "\"\n", nullptr);
        return;
    }
    M_MapName name;
    if (CheckName(argument.c_str(), &name)) {
        startMap = name;
    }
}

void WriteStartMap(FILE *file)
{
    if (strcmp(startMap.text, START_UP_MAP.text) != 0) {
        fprintf(file, "g_map %s\n", startMap.text);
    }
}
}  // namespace

void RegisterMapCommands()
{
    startMap = START_UP_MAP;
    mapInPlay = START_UP_MAP;
    C_AddCommand("map", PlayMap, nullptr);
    C_AddCommand("maps", ListMaps, nullptr);
    C_AddCommand("g_map", SetStartMap, nullptr);
    C_AddConfigWriter(WriteStartMap);
}

void SetCommandLineMap(const char *name)
{
    commandLineGiven = name != nullptr;
    snprintf(commandLineMap, sizeof commandLineMap, "%s", name != nullptr ? name : "");
}

void LoadStartMap()
{
    M_MapName wanted = startMap;
    if (commandLineGiven && !CheckName(commandLineMap, &wanted)) {
        return;
    }
    if (strcmp(wanted.text, mapInPlay.text) != 0) {
        ChangeMap(wanted.text);
    }
}

bool ChangeMap(const char *given)
{
    DemoMapChanging();  // a recording ends with the map it was made on
    M_MapName name;
    if (!CheckName(given, &name)) {
        return false;
    }
    MatchCase(&name);
    char path[sizeof MAPS_FOLDER + sizeof name.text + sizeof M_MAP_SUFFIX];
    M_MapPath(MAPS_FOLDER, name, path, sizeof path);
    if (!M_LoadPlayableMap(path)) {
        return false;
    }
    mapInPlay = name;
    SpawnPlayer(players[0]);
    SpawnPlayer(players[1]);
    MatchMapChanged();
    C_Print("Map ", path, " loaded\n", nullptr);
    return true;
}

const char *MapInPlay() { return mapInPlay.text; }
