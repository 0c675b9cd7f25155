#include "tests/support/temp_dir.h"
#include "tools/datagen/map_text.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace {
// Runs the generator itself into a fresh folder, as the build does.
int RunGenerator(const std::string &output)
{
    const std::string command =
        std::string("\"") + VORN_DATAGEN + "\" \"" + output + "\" \"" + VORN_TOOLS_DATA_DIR + "\"";
    return std::system(command.c_str());
}

std::string ShippedMapBytes(const std::string &name)
{
    std::ifstream in(std::string(VORN_TOOLS_DATA_DIR) + "/" + name + ".map", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> cells;
    std::string error;
    EXPECT_TRUE(ParseMapText(text, &cells, &error)) << error;
    const std::vector<uint8_t> bytes = EncodeMap(cells);
    return std::string(bytes.begin(), bytes.end());
}
}  // namespace

// Users edit the maps with the editor: a rebuild must leave their files alone, byte for byte,
// while everything else, a map they have not touched included, is written again.
TEST(Datagen, WritesTheTreeButNeverAnExistingMap)
{
    TempDir dir;
    const std::string edited(1200, '\x03');
    dir.Write("basev2/maps/v2dm1.vsm", edited);
    dir.Write("basev2/maps/v2dm3.vsm", edited + "longer");
    dir.Write("basev2/textures/briks/br1.bmp", "stale");
    ASSERT_EQ(RunGenerator(dir.Path("basev2")), 0);
    // One of each kind and folder; the weapons' upper-case suffixes are names the game opens.
    const char *const files[] = {
        "textures/briks/br1.bmp",       "textures/backg/b_0.bmp",
        "textures/oth/font.tga",        "textures/menu/cursor_0.bmp",
        "textures/cross/cross9.bmp",    "textures/weapons/rocket_shoot.BMP",
        "models/sarge/move.fp",         "models/weapons/rocket.fp",
        "media/weapons/rocket_hit.wav", "media/music/ingame1.mid",
    };
    for (const char *file : files) {
        EXPECT_GT(dir.Read(std::string("basev2/") + file).size(), 40u) << file;
    }
    EXPECT_EQ(dir.Read("basev2/maps/v2dm1.vsm"), edited);
    EXPECT_EQ(dir.Read("basev2/maps/v2dm3.vsm"), edited + "longer");
    for (const std::string name : {"v2dm2", "v2dm4"}) {
        EXPECT_EQ(dir.Read("basev2/maps/" + name + ".vsm"), ShippedMapBytes(name)) << name;
    }
}

TEST(Datagen, ReportsABrokenSource)
{
    TempDir dir;
    dir.Write("sources/v2dm1.map", "..........\n");
    dir.Write("sources/ingame1.score", "tempo 120\n");
    const std::string command = std::string("\"") + VORN_DATAGEN + "\" \"" + dir.Path("out") +
                                "\" \"" + dir.Path("sources") + "\" 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out/maps/v2dm1.vsm")));
}
