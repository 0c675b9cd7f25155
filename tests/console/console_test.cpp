#include "console/console.h"

#include "tests/console/console_fixture.h"
#include "tests/support/file_size_limit.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace {
constexpr char START_LINES[] = "**************************\n"
                               "* This is Vorn II console *\n"
                               "**************************\n\n";

class ConsoleTest : public ConsoleFolderTest {
protected:
    static std::string Row(int32_t row)
    {
        char text[C_LINE_SIZE];
        C_GetRow(row, text);
        return text;
    }
};

// An open line sits in the current row; rows outside the text are empty.
TEST_F(ConsoleTest, StartLinesAndRows)
{
    EXPECT_EQ(C_Text(), std::string(START_LINES));
    EXPECT_EQ(Row(1), "* This is Vorn II console *\n");
    C_Print("abc", "def", nullptr);
    EXPECT_EQ(C_CurrentRow(), 4);
    EXPECT_EQ(Row(4), "abcdef");
    C_Print("\n", nullptr);
    EXPECT_EQ(C_CurrentRow(), 5);
    EXPECT_EQ(Row(4), "abcdef\n");
    EXPECT_EQ(Row(5), "");
    EXPECT_EQ(Row(6), "");
    EXPECT_EQ(Row(-1), "");
}

TEST_F(ConsoleTest, OverlongLinesAreCutToOneRowWithTheirLineFeed)
{
    for (const size_t length : {82u, 83u, 84u, 200u}) {
        SCOPED_TRACE(length);
        const std::string line(length, 'x');
        C_Print(line.c_str(), "\n", nullptr);
        const std::string row = Row(C_CurrentRow() - 1);
        EXPECT_EQ(row, line.substr(0, 83) + "\n");
        EXPECT_LE(row.size(), 84u);
    }
}

// A full console drops its oldest lines: the newest text stays whole and the row count
// still matches the line feeds in the text.
TEST_F(ConsoleTest, FullTextDropsItsOldestLines)
{
    char line[32];
    for (int i = 0; i < 20000; ++i) {
        snprintf(line, sizeof line, "line %05d\n", i);
        C_Print(line, nullptr);
    }
    const std::string text = C_Text();
    EXPECT_LT(text.size(), C_TEXT_CAPACITY);
    EXPECT_EQ(text.substr(text.size() - 11), "line 19999\n");
    EXPECT_EQ(text.substr(0, 5), "line ");  // cut at a line boundary
    EXPECT_EQ(C_CurrentRow(), int32_t(std::count(text.begin(), text.end(), '\n')));
    EXPECT_EQ(Row(C_CurrentRow() - 1), "line 19999\n");
    EXPECT_EQ(Row(C_CurrentRow() - 30), "line 19970\n");

    const std::string huge(C_TEXT_CAPACITY * 2, 'y');
    C_Print(huge.c_str(), "\n", nullptr);
    EXPECT_LT(std::string(C_Text()).size(), C_TEXT_CAPACITY);
}

// The log holds the text up to the command's echo; after con_clear, the line feed it leaves.
TEST_F(ConsoleTest, SavedLogHoldsTheTextButNotItsOwnLine)
{
    C_Print("first\n", nullptr);
    C_Execute("con_savelog");
    EXPECT_EQ(dir.Read("basev2/console.log"), std::string(START_LINES) + "first\n]con_savelog\n");
    const std::string text = C_Text();
    EXPECT_EQ(text.substr(text.size() - 32), "Log basev2/console.log created!\n");

    C_Execute("con_clear");
    C_Print("after\n", nullptr);
    C_SaveLog();
    EXPECT_EQ(dir.Read("basev2/console.log"), "\nafter\n");
}

TEST_F(ConsoleTest, ShutdownWritesTheLogAndLaterPrintsGoElsewhere)
{
    C_Print("bye\n", nullptr);
    C_Shutdown();
    EXPECT_EQ(dir.Read("basev2/console.log"), std::string(START_LINES) + "bye\n");
    EXPECT_STREQ(C_Text(), "");
    testing::internal::CaptureStderr();
    C_Print("late\n", nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "late\n");
    C_Init();  // for TearDown
}

// Shut-down and con_savelog alike: a log cut short by a full disk, or with no folder to go to,
// is a failure.
TEST_F(ConsoleTest, AFullDiskIsNotALogCreated)
{
    const std::string filler(4000, 'x');
    C_Print(filler.c_str(), "\n", nullptr);
    {
        const FileSizeLimit limit(1024);
        C_SaveLog();
    }
    std::filesystem::remove_all(dir.Path("basev2"));
    C_SaveLog();
    const std::string text = C_Text();
    const std::string failed = "Can't create log file!\n";
    EXPECT_EQ(text.substr(text.size() - 2 * failed.size()), failed + failed);
    EXPECT_EQ(text.find("created!"), std::string::npos);
}
}  // namespace
