#include "input/bindings.h"

#include "console/commands.h"
#include "console/console.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
std::vector<char> calls;

void CallA() { calls.push_back('a'); }
void CallB() { calls.push_back('b'); }
void CallC() { calls.push_back('c'); }
void CallD() { calls.push_back('d'); }

class BindingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_Init();
        ClearBindings();
        SetBindingsEnabled(false);
        calls.clear();
    }
    void TearDown() override { C_Shutdown(); }

    std::string Tick()
    {
        calls.clear();
        DispatchHeldKeys();
        return std::string(calls.begin(), calls.end());
    }
};

// Keys act in code order, a repeat key every tick until let go, a once key on its press only (two
// pressed in one tick both act), and a held once key's auto-repeat holds up none of the others:
// player 1 keeps moving (D) while holding the rail-gun key (1).
TEST_F(BindingsTest, HeldOnceKeyActsOnceAndStarvesNoOtherKey)
{
    BindKey(' ', CallA, false);
    BindKey('1', CallB, true);
    BindKey('2', CallC, true);
    BindKey('D', CallD, false);
    for (const int key : {'D', '2', '1', ' '}) {
        KeyDown(key);
    }
    EXPECT_EQ(Tick(), "abcd");
    for (int tick = 1; tick <= 6; ++tick) {
        SCOPED_TRACE(tick);
        KeyDown('1');  // auto-repeat on every tick, of '2' on every other one
        if (tick % 2 == 0) {
            KeyDown('2');
        }
        EXPECT_EQ(Tick(), "ad");
    }
    KeyUp('1');
    KeyDown('1');
    EXPECT_EQ(Tick(), "abd");
    KeyUp('D');
    EXPECT_EQ(Tick(), "a");
}

TEST_F(BindingsTest, KeyDownsCountOnlyForBoundKeysWhileEnabled)
{
    BindKey('A', CallA, false);
    KeyDown('B');
    EXPECT_FALSE(GetBinding('B').pressed);
    SetBindingsEnabled(true);  // the console opened
    KeyDown('A');
    EXPECT_EQ(Tick(), "");
    SetBindingsEnabled(false);
    KeyDown('A');
    EXPECT_EQ(Tick(), "a");
    SetBindingsEnabled(true);
    EXPECT_EQ(Tick(), "");  // opening the console let go of the key held then
}

// Key messages for codes beyond the table are ignored silently: they touch no binding (not even
// the one they equal modulo 256, whose once key stays used up) and print nothing. Binding such a
// code is refused with a line.
TEST_F(BindingsTest, CodesOutsideTheTable)
{
    constexpr uint32_t WRAPPED = 300 - KEY_TABLE_SIZE;
    BindKey(WRAPPED, CallA, true);
    BindKey('D', CallB, false);
    KeyDown(WRAPPED);
    KeyDown('D');
    EXPECT_EQ(Tick(), "ab");
    const std::string text = C_Text();
    for (const uint32_t code : {256u, 300u, 511u, UINT32_MAX}) {
        SCOPED_TRACE(code);
        KeyDown(code);
        KeyUp(code);
        KeyDown(WRAPPED);  // its own auto-repeat
        EXPECT_EQ(Tick(), "b");
    }
    EXPECT_EQ(C_Text(), text);

    BindKey(256, CallA, false);
    BindKey(-1, CallA, false);
    UnbindKey(999);
    EXPECT_EQ(std::string(C_Text()).substr(text.size()),
              "This is not key value\nThis is not key value\nThis is not key value\n");
    BindKey(255, CallC, false);
    KeyDown(255);
    EXPECT_EQ(Tick(), "bc");
    UnbindKey(255);
    EXPECT_EQ(Tick(), "b");
}

// The menu, the console and a lost focus hide the key-ups: a released key must not act on, and a
// once key used before must act on its next press.
TEST_F(BindingsTest, ReleasingHeldKeysStopsAndRearmsThem)
{
    BindKey('D', CallA, false);
    BindKey('1', CallB, true);
    KeyDown('D');
    KeyDown('1');
    EXPECT_EQ(Tick(), "ba");
    EXPECT_EQ(Tick(), "a");
    ReleaseHeldKeys();
    EXPECT_EQ(Tick(), "");
    KeyDown('1');
    EXPECT_EQ(Tick(), "b");
}
}  // namespace
