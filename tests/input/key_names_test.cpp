#include "input/key_names.h"

#include "platform/keys.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {
// Every name leads back to its own code, in lower case without a "/" (which would cut a
// configuration line), and no two keys share one.
TEST(KeyNamesTest, EveryNameLeadsBackToItsCode)
{
    std::set<std::string> names;
    for (int32_t code = -1; code <= 256; ++code) {
        const char *const name = KeyName(code);
        if (name == nullptr) {
            continue;
        }
        SCOPED_TRACE(name);
        EXPECT_EQ(KeyCodeFromName(name), code);
        EXPECT_TRUE(names.insert(name).second);
        for (const char c : std::string(name)) {
            EXPECT_FALSE((c >= 'A' && c <= 'Z') || c == '/' || c == ' ');
        }
    }
    EXPECT_EQ(KeyName(-1), nullptr);
    EXPECT_EQ(KeyName(256), nullptr);
    EXPECT_GT(names.size(), 90u);
}

// The mouse buttons live in the key table: no key of the keyboard may land on their codes, and
// every key a player is likely to press can be named.
TEST(KeyNamesTest, MouseCodesAreNoKeysAndKeysHaveNames)
{
    const std::set<int> unnamed = {44, 91, 92, 93, 226};  // print screen, system keys, 102nd key
    for (int scancode = 0; scancode < 512; ++scancode) {
        const uint8_t code = P_KeyFromScancode(scancode);
        if (code == P_KEY_NONE) {
            continue;
        }
        SCOPED_TRACE(scancode);
        EXPECT_NE(code, P_KEY_MOUSE1);
        EXPECT_NE(code, P_KEY_MOUSE2);
        EXPECT_NE(code, P_KEY_MOUSE3);
        EXPECT_EQ(KeyName(code) == nullptr, unnamed.count(code) == 1) << "code " << int(code);
    }
}
}  // namespace
