#include "world/map_name.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {
// What names the editor and the game take: plain file names in the maps folder, never a path.
TEST(MapNameTest, OnlyPlainNamesAreTaken)
{
    const struct {
        const char *given;
        const char *name;  // nullptr when refused
    } cases[] = {
        {"My_Map-2", "My_Map-2"},
        {"abcdefghijklmnopqrstuvwx.vsm", "abcdefghijklmnopqrstuvwx"},  // 24, the longest
        {"abcdefghijklmnopqrstuvwxy", nullptr},
        {".vsm", nullptr},
        {"..", nullptr},
        {"../x", nullptr},
        {"x.vsm.vsm", nullptr},
        {"two words", nullptr},
        {"caf\xc3\xa9", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.given);
        M_MapName name;
        memset(name.text, 'z', sizeof name.text);
        const bool taken = M_CheckMapName(c.given, &name);
        EXPECT_EQ(taken, c.name != nullptr);
        EXPECT_STREQ(name.text, c.name != nullptr ? c.name : "");
    }
}

TEST(MapNameTest, PathsJoinFolderNameAndSuffix)
{
    M_MapName name;
    ASSERT_TRUE(M_CheckMapName("arena.vsm", &name));
    char path[64];
    M_MapPath("basev2/maps/", name, path, sizeof path);
    EXPECT_STREQ(path, "basev2/maps/arena.vsm");
    char small[8];
    M_MapPath("maps/", name, small, sizeof small);
    EXPECT_STREQ(small, "maps/ar");  // cut, never overrun
}
}  // namespace
