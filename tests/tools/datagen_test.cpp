// Runs the generator itself into a fresh folder, as the build does.

#include "tests/support/temp_dir.h"
#include "tools/datagen/map_text.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace {
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

TEST(Datagen, WritesTheWholeTree)
{
    TempDir dir;
    ASSERT_EQ(RunGenerator(dir.Path("basev2")), 0);
    const char *const files[] = {
        "textures/briks/br1.bmp",
        "textures/briks/br7.bmp",
        "textures/briks/respawn.bmp",
        "textures/backg/b_0.bmp",
        "textures/oth/console.bmp",
        "textures/oth/font.tga",
        "textures/menu/bg_0.bmp",
        "textures/menu/play_1.bmp",
        "textures/menu/back_0.bmp",
        "textures/menu/cursor_0.bmp",
        "textures/cross/cross0.bmp",
        "textures/cross/cross9.bmp",
        "textures/weapons/rail_weapon.BMP",
        "textures/weapons/plasma_shoot.BMP",
        "textures/weapons/rocket_shoot.BMP",
        "models/sarge/move.fp",
        "models/sarge/cr.fp",
        "models/sarge/jump.wav",
        "models/weapons/rocket.fp",
        "media/menu/click.wav",
        "media/weapons/Rail.wav",
        "media/weapons/rocket_hit.wav",
        "media/music/ingame1.mid",
    };
    for (const char *file : files) {
        EXPECT_GT(dir.Read(std::string("basev2/") + file).size(), 40u) << file;
    }
    for (const std::string name : {"v2dm1", "v2dm2", "v2dm3", "v2dm4"}) {
        EXPECT_EQ(dir.Read("basev2/maps/" + name + ".vsm"), ShippedMapBytes(name)) << name;
    }
}

// Users edit the maps with the editor: a rebuild must leave their files alone, byte for byte,
// while everything else, a map they have not touched included, is written again.
TEST(Datagen, NeverOverwritesAnExistingMap)
{
    TempDir dir;
    const std::string edited(1200, '\x03');
    dir.Write("basev2/maps/v2dm1.vsm", edited);
    dir.Write("basev2/maps/v2dm3.vsm", edited + "longer");
    dir.Write("basev2/textures/briks/br1.bmp", "stale");
    ASSERT_EQ(RunGenerator(dir.Path("basev2")), 0);
    EXPECT_EQ(dir.Read("basev2/maps/v2dm1.vsm"), edited);
    EXPECT_EQ(dir.Read("basev2/maps/v2dm3.vsm"), edited + "longer");
    EXPECT_EQ(dir.Read("basev2/maps/v2dm2.vsm"), ShippedMapBytes("v2dm2"));
    EXPECT_NE(dir.Read("basev2/textures/briks/br1.bmp"), "stale");
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
