#include "console/registry.h"

#include "console/commands.h"
#include "console/console.h"
#include "console/drop_down.h"
#include "tests/support/console_output.h"

#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {
float gravityValue = 0.0f;
int actionCalls = 0;

void SetGravity() { gravityValue = C_ArgFloat(); }

void ReportGravity() { C_ReportFloat(gravityValue); }

void CountCall() { ++actionCalls; }

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_Init();
        gravityValue = 0.3f;
        actionCalls = 0;
        C_AddCommand("gravity", SetGravity, ReportGravity);
        output.Skip();
    }
    void TearDown() override { C_Shutdown(); }

    std::string Printed() { return output.Printed(); }

    ConsoleOutput output;
};

TEST_F(RegistryTest, LinesAreEchoedLoweredAndLookedUp)
{
    C_Execute("GRAVITY 0.5");
    EXPECT_FLOAT_EQ(gravityValue, 0.5f);
    EXPECT_EQ(Printed(), "]GRAVITY 0.5\n");
    EXPECT_STREQ(C_HistoryGet(1), "GRAVITY 0.5");

    C_Execute("gravity 0");
    EXPECT_FLOAT_EQ(gravityValue, 0.0f);
}

TEST_F(RegistryTest, VariableWithoutArgumentIsQueried)
{
    for (const char *line : {"gravity", "gravity "}) {
        SCOPED_TRACE(line);
        C_Execute(line);
        EXPECT_EQ(Printed(), std::string("]") + line + "\n\"gravity\" is \"0.300000\"\n");
    }
    C_Execute("con_speed");
    EXPECT_EQ(Printed(), "]con_speed\n\"con_speed\" is \"2.000000\"\n");
}

TEST_F(RegistryTest, UnknownWordsAreAnswered)
{
    struct Case {
        const char *line;
        const char *answer;
    };
    const Case cases[] = {
        {"nosuch 1", "]nosuch 1\nUnknown command : nosuch\n"},
        {" gravity", "] gravity\nUnknown command : \n"},
        {"gravity\t1", "]gravity\t1\nUnknown command : gravity\t1\n"},
        {"con_clear\r", "]con_clear\r\nUnknown command : con_clear\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        C_Execute(c.line);
        EXPECT_EQ(Printed(), c.answer);
    }
}

TEST_F(RegistryTest, EmptyLinesDoNothing)
{
    for (const char *line : {"", " ", "\n"}) {
        C_Execute(line);
    }
    EXPECT_EQ(Printed(), "");
    EXPECT_STREQ(C_HistoryGet(1), "");
}

TEST_F(RegistryTest, OverlongLineIsCutTo84Characters)
{
    const std::string line = "say " + std::string(200, 'a');
    C_Execute(line.c_str());
    EXPECT_EQ(Printed(),
              "]" + line.substr(0, 84) + "\nUnnamedPlayer: " + std::string(80, 'a') + "\n");
}

TEST_F(RegistryTest, DuplicateNamesAreRefused)
{
    C_AddCommand("gravity", CountCall, nullptr);
    EXPECT_EQ(Printed(), "C_AddCommand : Can't add command :gravity\n");
    C_Execute("gravity 2");
    EXPECT_EQ(actionCalls, 0);
    EXPECT_FLOAT_EQ(gravityValue, 2.0f);
}

TEST_F(RegistryTest, ConSpeedKeepsItsValueOutsideOneToThree)
{
    for (const char *line : {"con_speed 4", "con_speed 0", "con_speed abc", "con_speed -1"}) {
        SCOPED_TRACE(line);
        C_Execute(line);
        EXPECT_EQ(Printed(), std::string("]") + line + "\ncon_speed must be betwen 1 and 3.\n");
    }
    C_Execute("con_speed 3.9");
    Printed();
    C_Execute("con_speed");
    EXPECT_EQ(Printed(), "]con_speed\n\"con_speed\" is \"3.000000\"\n");
}

TEST_F(RegistryTest, ArgumentsReadAsPlainDecimals)
{
    struct Case {
        const char *argument;
        float value;
        int32_t integer;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {" 1e3", 1000.0f, 1000},
        {"  -2.75x", -2.75f, -2},
        {" abc", 0.0f, 0},
        {" .5", 0.5f, 0},
        {" inf", 0.0f, 0},
        {" 0x10", 0.0f, 0},
        {" 7e", 7.0f, 7},
        {" +3.", 3.0f, 3},
        {" -", 0.0f, 0},
        {"", 0.0f, 0},
        {" 1e30", 1e30f, INT32_MAX},
        {" -1e30", -1e30f, INT32_MIN},
        {" 1e99", inf, INT32_MAX},
    };
    C_AddCommand("probe", CountCall, nullptr);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.argument);
        C_Execute((std::string("probe") + c.argument).c_str());
        EXPECT_FLOAT_EQ(C_ArgFloat(), c.value);
        EXPECT_EQ(C_ArgInt(), c.integer);
    }
}

TEST_F(RegistryTest, ArgumentIsACopyWithoutItsSeparator)
{
    C_AddCommand("probe", CountCall, nullptr);
    C_Execute("probe  Two Words");
    EXPECT_STREQ(C_Arg().text, " two words");
    C_Execute("probe");
    EXPECT_STREQ(C_Arg().text, "");
}

TEST_F(RegistryTest, CompletionListsNewestFirstUnderTheRightHeader)
{
    char prefix[C_LINE_SIZE] = "CON_";
    EXPECT_STREQ(C_Complete(prefix), "con_print ");
    EXPECT_STREQ(prefix, "con_");
    EXPECT_EQ(Printed(), "]con_print \n   con_speed\n   con_savelog\n   con_clear\n   con_print\n");

    char shorter[C_LINE_SIZE] = "con_s";
    EXPECT_STREQ(C_Complete(shorter), "con_savelog ");
    EXPECT_EQ(Printed(), "]con_s\n   con_speed\n   con_savelog\n");

    char single[C_LINE_SIZE] = "grav";
    EXPECT_STREQ(C_Complete(single), "gravity ");
    EXPECT_EQ(Printed(), "");

    char none[C_LINE_SIZE] = "XYZ";
    EXPECT_STREQ(C_Complete(none), "xyz");
    EXPECT_EQ(Printed(), "");
}

TEST_F(RegistryTest, CmdListPrintsEveryNameUnderTheOldest)
{
    C_Execute("cmd_list");
    const std::string printed = Printed();
    EXPECT_EQ(printed.substr(0, 25), "]cmd_list\n]con_print \n   ");
    EXPECT_NE(printed.find("   gravity\n   help\n   writecfg\n"), std::string::npos);
    EXPECT_EQ(printed.substr(printed.size() - 13), "   con_print\n");

    C_Execute("cmd_list grav");
    EXPECT_EQ(Printed(), "]cmd_list grav\n");
}
}  // namespace
