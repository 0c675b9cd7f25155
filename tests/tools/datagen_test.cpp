#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

// The generator run as the build runs it. Users edit the maps with the editor: a rebuild must
// leave their files alone, byte for byte, while everything else is written again.
TEST(Datagen, WritesTheTreeButNeverAnExistingMap)
{
    TempDir dir;
    const std::string edited(1200, '\x03');
    dir.Write("basev2/maps/v2dm1.vsm", edited);
    dir.Write("basev2/maps/v2dm3.vsm", edited + "longer");
    dir.Write("basev2/textures/briks/br1.bmp", "stale");
    const std::string command = std::string("\"") + VORN_DATAGEN + "\" \"" + dir.Path("basev2") +
                                "\" \"" + VORN_TOOLS_DATA_DIR + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // One of each kind; the weapons' upper-case suffixes are names the game opens.
    const std::pair<const char *, std::string> files[] = {
        {"textures/briks/br1.bmp", "BM"},
        {"textures/weapons/rocket_shoot.BMP", "BM"},
        {"textures/oth/font.tga", std::string("\0\0\3", 3)},
        {"media/weapons/rocket_hit.wav", "RIFF"},
        {"media/music/ingame1.mid", "MThd"},
    };
    for (const auto &[file, magic] : files) {
        const std::string bytes = dir.Read(std::string("basev2/") + file);
        EXPECT_GT(bytes.size(), 40u) << file;
        EXPECT_EQ(bytes.substr(0, magic.size()), magic) << file;
    }
    EXPECT_GT(dir.Read("basev2/models/sarge/move.fp").size(), 24u);
    EXPECT_EQ(dir.Read("basev2/maps/v2dm1.vsm"), edited);
    EXPECT_EQ(dir.Read("basev2/maps/v2dm3.vsm"), edited + "longer");
    EXPECT_EQ(dir.Read("basev2/maps/v2dm2.vsm").size(), 1200u);
}
