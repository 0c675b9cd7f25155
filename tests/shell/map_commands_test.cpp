#include "shell/map_commands.h"

#include "console/commands.h"
#include "console/console.h"
#include "console/registry.h"
#include "gameplay/match.h"
#include "gameplay/player.h"
#include "tests/support/console_output.h"
#include "tests/support/temp_dir.h"
#include "world/map.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {
std::string FileBytes(const int16_t *cells)
{
    std::string bytes;
    for (int32_t i = 0; i < M_CELLS; ++i) {
        bytes += {char(cells[i] & 0xff), char((cells[i] >> 8) & 0xff)};
    }
    return bytes;
}

// A map file: every cell `fill`, with the cells in `special` set apart.
std::string MapBytes(int16_t fill, const std::vector<std::pair<int, int16_t>> &special = {})
{
    std::vector<int16_t> cells(M_CELLS, fill);
    for (const auto &[index, code] : special) {
        cells[size_t(index)] = code;
    }
    return FileBytes(cells.data());
}

// The grid in play, as its map file holds it.
std::string InPlay() { return FileBytes(M_GetCells()); }

// The game as its start-up leaves it: console, v2dm1 in play with its spawn points, both players
// spawned, the map commands registered. Both players are then moved and hurt, so that a respawn
// shows.
class MapCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("basev2/maps/v2dm1.vsm", MapBytes(1, {{40, 8}, {100, 8}}));
        dir.Write("basev2/maps/arena.vsm", MapBytes(0, {{65, 8}, {35, 8}, {400, 4}}));
        C_Init();
        M_AllocMap();
        M_SetSpawnPointHandler(AddSpawnPoint);
        ASSERT_TRUE(M_LoadPlayableMap("basev2/maps/v2dm1.vsm"));
        SetCommandLineMap(nullptr);
        RegisterMapCommands();
        for (Player &player : players) {
            player.pose = Pose{1.5f, -2.0f, 0.5f};
            player.health = 40;
            player.horizontalVelocity = 0.02f;
            player.airborne = 1;
            player.currentWeapon = 4;
        }
        output.Skip();
    }
    void TearDown() override
    {
        M_FreeMap();
        C_Shutdown();
    }
    std::string Printed() { return output.Printed(); }

    TempDir dir;
    WorkingDirectory cwd{dir.Root()};
    ConsoleOutput output;
};

TEST_F(MapCommandsTest, MapReplacesTheBricksAndRespawnsBothPlayers)
{
    C_Execute("map arena");
    EXPECT_EQ(Printed(), "]map arena\nMap basev2/maps/arena.vsm loaded\n");
    EXPECT_EQ(InPlay(), dir.Read("basev2/maps/arena.vsm"));
    EXPECT_EQ(spawnPointCount, 2);
    // Entry 1 is the second respawn cell in cell order: index 65, column 2, row 5.
    for (const Player &player : players) {
        EXPECT_FLOAT_EQ(player.pose.x, -3.0f);
        EXPECT_FLOAT_EQ(player.pose.y, 2.0f);
        EXPECT_EQ(player.health, 125);
        EXPECT_EQ(player.airborne, 0);
    }
    C_Execute("map v2dm1.vsm");
    EXPECT_EQ(InPlay(), dir.Read("basev2/maps/v2dm1.vsm"));
    EXPECT_FLOAT_EQ(players[1].pose.x, -4.0f + 3 * 0.4f + 0.2f);  // index 100: column 3, row 10
    EXPECT_FLOAT_EQ(players[1].pose.y, 1.0f);
}

// A match under way starts again on the new map: score 0:0, the players at its spawn points.
TEST_F(MapCommandsTest, AMatchStartsAgainOnANewMap)
{
    RegisterMatchVariables();
    C_Execute("g_match 1");
    AdvanceMatch(10);
    HurtPlayer(2, 500, 1);
    EXPECT_EQ(CurrentMatch().frags[0], 1);
    C_Execute("map arena");
    AdvanceMatch(10);
    EXPECT_EQ(CurrentMatch().frags[0], 0);
    EXPECT_FALSE(CurrentMatch().dead[1]);
    // Index 35 (column 1) is arena's first spawn point, index 65 (column 2) the farthest from it.
    EXPECT_FLOAT_EQ(players[0].pose.x, -3.4f);
    EXPECT_FLOAT_EQ(players[1].pose.x, -3.0f);
    C_Execute("g_match 0");
}

// Whatever goes wrong, the map in play and both players stay as they were, with one line.
TEST_F(MapCommandsTest, AMapThatCannotBePlayedKeepsTheCurrentOne)
{
    dir.Write("basev2/maps/short.vsm", MapBytes(3).substr(0, 1198));
    const struct {
        const char *line;
        const char *answer;
    } cases[] = {
        {"map short", "Map basev2/maps/short.vsm is 1198 bytes, not 1200: not loaded\n"},
        {"map ../maps/arena",
         "Bad map name \"../maps/arena\": up to 24 letters, digits, _ and -\n"},
        {"map", "Cannot find argument!\n"},
    };
    const std::string before = InPlay();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        C_Execute(c.line);
        EXPECT_EQ(Printed(), "]" + std::string(c.line) + "\n" + c.answer);
        EXPECT_EQ(InPlay(), before);
        EXPECT_EQ(spawnPointCount, 2);
        EXPECT_FLOAT_EQ(players[0].pose.x, 1.5f);
        EXPECT_EQ(players[1].health, 40);
    }
}

// The console lowers every line; a map saved with capitals is still found when it alone fits.
TEST_F(MapCommandsTest, CapitalsInAFileNameAreFound)
{
    dir.Write("basev2/maps/MyArena.vsm", MapBytes(6));
    C_Execute("map MyArena");
    EXPECT_EQ(Printed(), "]map MyArena\nMap basev2/maps/MyArena.vsm loaded\n");
    EXPECT_EQ(InPlay(), MapBytes(6));

    dir.Write("basev2/maps/MYARENA.vsm", MapBytes(5));  // two fit: neither is surely meant
    C_Execute("map myarena");
    EXPECT_EQ(Printed(), "]map myarena\nError: couldn't load map basev2/maps/myarena.vsm\n");
}

TEST_F(MapCommandsTest, MapsListsThePlayableNames)
{
    dir.Write("basev2/maps/b-side.vsm", MapBytes(0));
    dir.Write("basev2/maps/notes.txt", "not a map");
    dir.Write("basev2/maps/two words.vsm", MapBytes(0));
    dir.Write("basev2/maps/v2dm1.vsm.bak", MapBytes(0));
    std::filesystem::create_directories(dir.Path("basev2/maps/folder.vsm"));
    C_Execute("maps");
    EXPECT_EQ(Printed(), "]maps\n   arena\n   b-side\n   v2dm1\n");
    std::filesystem::remove_all(dir.Path("basev2/maps"));
    C_Execute("maps");
    EXPECT_EQ(Printed(), "]maps\nNo maps in basev2/maps/\n");
}

// g_map is saved only when it differs from v2dm1, and a saved configuration brings it back.
TEST_F(MapCommandsTest, GMapIsSavedOnlyWhenChanged)
{
    C_Execute("g_map");
    EXPECT_EQ(Printed(), "]g_map\n\"g_map\" is \"v2dm1\"\n");
    C_Execute("writecfg plain");
    const std::string plain = dir.Read("basev2/plain.cfg");
    EXPECT_EQ(plain.find("g_map"), std::string::npos);

    C_Execute("g_map arena.vsm");
    C_Execute("g_map ../x");
    EXPECT_NE(Printed().find("Bad map name \"../x\""), std::string::npos);
    C_Execute("writecfg changed");
    EXPECT_EQ(dir.Read("basev2/changed.cfg"), plain + "g_map arena\n");

    C_Execute("g_map v2dm1");
    C_Execute("exec changed");
    Printed();
    C_Execute("g_map");
    EXPECT_EQ(Printed(), "]g_map\n\"g_map\" is \"arena\"\n");
}

// The start map: nothing happens (and nothing is printed) for v2dm1; the command line wins over
// g_map; a bad name keeps v2dm1.
TEST_F(MapCommandsTest, TheStartMapComesFromTheCommandLineOrGMap)
{
    const struct {
        const char *name;
        const char *commandLine;  // nullptr for none
        const char *gMap;         // nullptr leaves the default
        bool arenaInPlay;
        const char *printed;
    } cases[] = {
        {"defaults", nullptr, nullptr, false, ""},
        {"command line", "arena", nullptr, true, "Map basev2/maps/arena.vsm loaded\n"},
        {"command line over g_map", "v2dm1", "arena", false, ""},
        {"bad command line", "../arena", "arena", false,
         "Bad map name \"../arena\": up to 24 letters, digits, _ and -\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(M_LoadPlayableMap("basev2/maps/v2dm1.vsm"));
        C_Init();  // a fresh registry, as each start-up has
        RegisterMapCommands();
        if (c.gMap != nullptr) {
            const std::string line = std::string("g_map ") + c.gMap;
            C_Execute(line.c_str());
        }
        SetCommandLineMap(c.commandLine);
        output.Skip();
        LoadStartMap();
        EXPECT_EQ(Printed(), c.printed);
        EXPECT_EQ(InPlay(),
                  dir.Read(c.arenaInPlay ? "basev2/maps/arena.vsm" : "basev2/maps/v2dm1.vsm"));
    }
}
}  // namespace
