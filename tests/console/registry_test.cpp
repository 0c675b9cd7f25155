#include "console/registry.h"

#include "console/drop_down.h"
#include "tests/console/console_fixture.h"

#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {
using RegistryTest = GravityTest;

// Every line is echoed as typed and looked up lowered; a variable without an argument is
// queried; the name ends at the first space only, and empty lines do nothing. con_speed keeps its
// value outside 1 to 3.
TEST_F(RegistryTest, LinesAreEchoedAndAnswered)
{
    const struct {
        const char *line;
        const char *answer;
        float gravity;
    } cases[] = {
        {"GRAVITY 0.5", "", 0.5f},
        {"gravity", "\"gravity\" is \"0.500000\"\n", 0.5f},
        {"gravity 0", "", 0.0f},
        {"con_speed", "\"con_speed\" is \"2.000000\"\n", 0.0f},
        {"con_speed 4", "con_speed must be betwen 1 and 3.\n", 0.0f},
        {"con_speed abc", "con_speed must be betwen 1 and 3.\n", 0.0f},
        {"con_speed 3.9", "", 0.0f},
        {"con_speed", "\"con_speed\" is \"3.000000\"\n", 0.0f},
        {" gravity", "Unknown command : \n", 0.0f},
        {"gravity\t1", "Unknown command : gravity\t1\n", 0.0f},
        {"con_clear\r", "Unknown command : con_clear\r\n", 0.0f},
        {"NoSuch 1", "Unknown command : nosuch\n", 0.0f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Execute(c.line), std::string("]") + c.line + "\n" + c.answer);
        EXPECT_FLOAT_EQ(gravity, c.gravity);
    }
    EXPECT_STREQ(C_HistoryGet(1), "NoSuch 1");
    for (const char *line : {"", " ", "\n"}) {
        EXPECT_EQ(Execute(line), "");
    }
    EXPECT_STREQ(C_HistoryGet(1), "NoSuch 1");
}

TEST_F(RegistryTest, OverlongLineIsCutTo84Characters)
{
    const std::string line = "say " + std::string(200, 'a');
    EXPECT_EQ(Execute(line),
              "]" + line.substr(0, 84) + "\nUnnamedPlayer: " + std::string(80, 'a') + "\n");
}

TEST_F(RegistryTest, DuplicateNamesAreRefused)
{
    C_AddCommand(
        "gravity", [] { ADD_FAILURE() << "the second gravity ran"; }, nullptr);
    EXPECT_EQ(output.Printed(), "C_AddCommand : Can't add command :gravity\n");
    C_Execute("gravity 2");
    EXPECT_FLOAT_EQ(gravity, 2.0f);
}

TEST_F(RegistryTest, ArgumentsReadAsPlainDecimals)
{
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char *argument;
        float value;
        int32_t integer;
    } cases[] = {
        {"  -2.75x", -2.75f, -2},  {" inf", 0.0f, 0}, {" 0x10", 0.0f, 0},
        {" 7e", 7.0f, 7},          {"", 0.0f, 0},     {" -1e30", -1e30f, INT32_MIN},
        {" 1e99", inf, INT32_MAX},
    };
    C_AddCommand(
        "probe", [] {}, nullptr);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.argument);
        C_Execute((std::string("probe") + c.argument).c_str());
        EXPECT_FLOAT_EQ(C_ArgFloat(), c.value);
        EXPECT_EQ(C_ArgInt(), c.integer);
        EXPECT_STREQ(C_Arg().text, c.argument[0] == '\0' ? "" : c.argument + 1);
    }
    C_Execute("probe  Two Words");  // lowered, without the separator
    EXPECT_STREQ(C_Arg().text, " two words");
}

TEST_F(RegistryTest, CompletionListsNewestFirstUnderTheRightHeader)
{
    char prefix[C_LINE_SIZE] = "CON_";
    EXPECT_STREQ(C_Complete(prefix), "con_print ");
    EXPECT_STREQ(prefix, "con_");
    EXPECT_EQ(output.Printed(),
              "]con_print \n   con_speed\n   con_savelog\n   con_clear\n   con_print\n");

    char shorter[C_LINE_SIZE] = "con_s";
    EXPECT_STREQ(C_Complete(shorter), "con_savelog ");
    EXPECT_EQ(output.Printed(), "]con_s\n   con_speed\n   con_savelog\n");

    char single[C_LINE_SIZE] = "grav";
    EXPECT_STREQ(C_Complete(single), "gravity ");
    EXPECT_EQ(output.Printed(), "");

    char none[C_LINE_SIZE] = "XYZ";
    EXPECT_STREQ(C_Complete(none), "xyz");
    EXPECT_EQ(output.Printed(), "");
}
}  // namespace
