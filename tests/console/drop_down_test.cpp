#include "console/drop_down.h"

#include "console/commands.h"
#include "console/console.h"
#include "console/registry.h"
#include "input/bindings.h"
#include "platform/timer.h"

#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {
int keyPresses = 0;
void CountPress() { ++keyPresses; }

class InputLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_Init();
        ClearBindings();
        SetBindingsEnabled(false);
        keyPresses = 0;
    }
    void TearDown() override { C_Shutdown(); }

    void Type(const std::string &text)
    {
        for (const char c : text) {
            C_KeyEvent(C_CHARACTER, uint8_t(c));
        }
    }
    void Open() { C_KeyEvent(C_CHARACTER, '`'); }
};

// The back-quote character toggles, and the closed console takes no text; the back-quote key
// (code 192) empties the line on its key-down, before its character toggles. The bindings are
// off while the console is open.
TEST_F(InputLineTest, BackQuoteTogglesAndEmptiesTheLine)
{
    BindKey('D', CountPress, false);
    Type("abc");
    EXPECT_STREQ(C_InputLine(), "");
    Open();
    EXPECT_TRUE(C_IsOpen());
    Type("abc");
    EXPECT_STREQ(C_InputLine(), "abc");
    KeyDown('D');
    DispatchHeldKeys();
    EXPECT_EQ(keyPresses, 0);
    C_KeyEvent(C_KEY_DOWN, 192);
    EXPECT_STREQ(C_InputLine(), "");
    EXPECT_TRUE(C_IsOpen());
    C_KeyEvent(C_CHARACTER, 192);
    EXPECT_FALSE(C_IsOpen());
    KeyDown('D');
    DispatchHeldKeys();
    EXPECT_EQ(keyPresses, 1);
}

// Backspace and Tab act on their character, not their key-down; the line keeps 80 characters.
TEST_F(InputLineTest, EditingKeysAndLength)
{
    Open();
    Type("&(-");
    C_KeyEvent(C_KEY_DOWN, 8);
    EXPECT_STREQ(C_InputLine(), "&(-");
    C_KeyEvent(C_CHARACTER, 8);
    EXPECT_STREQ(C_InputLine(), "&(");
    for (int i = 0; i < 3; ++i) {
        C_KeyEvent(C_CHARACTER, 8);  // once more than there is to remove
    }
    C_KeyEvent(C_CHARACTER, 9);  // Tab on an empty line
    EXPECT_STREQ(C_InputLine(), "");
    Type(std::string(100, 'q'));
    EXPECT_EQ(std::string(C_InputLine()), std::string(80, 'q'));
}

TEST_F(InputLineTest, TabCompletesAndEnterExecutes)
{
    Open();
    Type("HEL");
    C_KeyEvent(C_CHARACTER, 9);
    EXPECT_STREQ(C_InputLine(), "help ");
    C_KeyEvent(C_CHARACTER, 13);
    EXPECT_STREQ(C_InputLine(), "");
    EXPECT_NE(std::string(C_Text()).find("]help \n      ___________"), std::string::npos);
}

TEST_F(InputLineTest, HistoryBrowsesExecutedLinesWithTheirCapitals)
{
    Open();
    for (const char *line : {"say One", "say Two", "say Three"}) {
        Type(line);
        C_KeyEvent(C_CHARACTER, 13);
    }
    const char *const expected[] = {"say Three", "say Two", "say One", "say One"};
    for (const char *line : expected) {
        C_KeyEvent(C_KEY_DOWN, 38);
        EXPECT_STREQ(C_InputLine(), line);
    }
    C_KeyEvent(C_KEY_DOWN, 40);
    EXPECT_STREQ(C_InputLine(), "say Two");
    C_KeyEvent(C_KEY_DOWN, 40);
    C_KeyEvent(C_KEY_DOWN, 40);
    EXPECT_STREQ(C_InputLine(), "");
    C_KeyEvent(C_CHARACTER, 38);  // the character "&" is typed, not browsed
    EXPECT_STREQ(C_InputLine(), "&");
}

TEST_F(InputLineTest, SetOpenReleasesTheKeyAndResetsOnlyTheLength)
{
    BindKey(96, CountPress, true);
    SetBindingsEnabled(false);
    KeyDown(96);
    Open();
    Type("ab");
    C_SetOpen(27, false);
    EXPECT_FALSE(C_IsOpen());
    EXPECT_STREQ(C_InputLine(), "ab");
    EXPECT_FALSE(GetBinding(96).pressed);
}

using ConsoleSlideTest = InputLineTest;

// The first frame's delta is the whole P_Ticks reading, after a start-up of some length; the
// closed console must sit it out, not slide out of reach for as long as the start-up took.
TEST_F(ConsoleSlideTest, FirstOpeningShowsOnTheNextFrame)
{
    constexpr uint32_t STARTUP_MS = 50;
    const uint32_t clockStarted = P_Ticks();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (P_Ticks() - clockStarted < STARTUP_MS) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the clock stands still";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    C_LoadBackground();
    // The first frame, then menu frames: two per paint, so often 0 or 1 ms apart.
    for (const uint32_t delta : {P_Ticks(), 1u, 0u, 1u}) {
        C_Draw(delta, 1);
    }
    Open();
    C_Draw(16, 1);
    EXPECT_LE(C_Position(), 3.0) << "hidden after the first 16 ms of opening";
}
// The world is left undrawn where C_CoversFrom says the backdrop will lie, so the backdrop must
// never end a frame above it: not while sliding open, closing, after a stall or when shut.
TEST_F(ConsoleSlideTest, TheBackdropCoversWhatItPromised)
{
    C_LoadBackground();
    const struct {
        const char *step;
        bool toggle;
        uint32_t elapsed;
    } frames[] = {
        {"closed", false, 16},   {"opening", true, 16},  {"opening", false, 100},
        {"open", false, 250},    {"open", false, 10},    {"a stall", false, 1500},
        {"open", false, 0},      {"closing", true, 16},  {"closing", false, 100},
        {"closed", false, 300},  {"reopening", true, 5}, {"half closed", true, 150},
        {"reopening", true, 50}, {"open", false, 400},
    };
    int32_t clipped = 0;
    for (const auto &frame : frames) {
        SCOPED_TRACE(frame.step);
        if (frame.toggle) {
            Open();
        }
        const double promised = C_CoversFrom(frame.elapsed);
        C_Draw(frame.elapsed, 1);
        if (promised < 3.0) {
            ++clipped;
            EXPECT_TRUE(C_IsOpen());
            EXPECT_LE(C_Position(), promised);
            EXPECT_LE(frame.elapsed, 1000u) << "no backdrop is drawn after a stall";
        }
    }
    EXPECT_GE(clipped, 3) << "an open console should let the world go undrawn under it";
}
}  // namespace
