#include "input/bindings.h"

#include "console/commands.h"
#include "console/console.h"

#include <cstdio>
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

    // The fields of every binding that is not all zero, one line per key.
    static std::string Table()
    {
        std::string table;
        for (uint32_t code = 0; code < KEY_TABLE_SIZE; ++code) {
            const KeyBinding &key = GetBinding(code);
            if (key.once || key.armed || key.pressed || key.keyCode != 0 ||
                key.callback != nullptr) {
                char row[64];
                snprintf(row, sizeof row, "%u: once %d armed %d pressed %d code %d bound %d\n",
                         code, key.once, key.armed, key.pressed, int(key.keyCode),
                         key.callback != nullptr);
                table += row;
            }
        }
        return table;
    }
};

TEST_F(BindingsTest, RepeatBindingFiresEveryTickUntilReleased)
{
    BindKey('D', CallA, false);
    KeyDown('D');
    EXPECT_EQ(Tick(), "a");
    EXPECT_EQ(Tick(), "a");
    KeyUp('D');
    EXPECT_EQ(Tick(), "");
}

TEST_F(BindingsTest, OnceBindingFiresOncePerPressDespiteAutoRepeat)
{
    BindKey('1', CallA, true);
    KeyDown('1');
    EXPECT_EQ(Tick(), "a");
    KeyDown('1');  // auto-repeat
    EXPECT_EQ(Tick(), "");
    EXPECT_EQ(Tick(), "");
    KeyUp('1');
    KeyDown('1');
    EXPECT_EQ(Tick(), "a");
}

// Keys act in code order, a once key on its press only, and a held once key's auto-repeat holds
// up none of the others: player 1 keeps moving (D) while holding the rail-gun key (1).
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
// the one they equal modulo 256) and print nothing.
TEST_F(BindingsTest, KeyMessagesOutsideTheTableAreIgnored)
{
    constexpr uint32_t WRAPPED = 300 - KEY_TABLE_SIZE;
    BindKey(WRAPPED, CallA, true);
    BindKey('D', CallB, false);
    KeyDown(WRAPPED);
    KeyDown('D');
    EXPECT_EQ(Tick(), "ab");  // the once key is used up until its own key-up
    const std::string text = C_Text();
    const std::string table = Table();
    for (const uint32_t code : {256u, 300u, 511u, UINT32_MAX}) {
        SCOPED_TRACE(code);
        KeyDown(code);
        EXPECT_EQ(Table(), table);
        KeyUp(code);
        EXPECT_EQ(Table(), table);
        EXPECT_EQ(Tick(), "b");
    }
    EXPECT_EQ(C_Text(), text);
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

TEST_F(BindingsTest, CodesOutsideTheTableAreRefused)
{
    const std::string before = C_Text();
    BindKey(256, CallA, false);
    BindKey(-1, CallA, false);
    UnbindKey(999);
    EXPECT_EQ(std::string(C_Text()).substr(before.size()),
              "This is not key value\nThis is not key value\nThis is not key value\n");
    BindKey(255, CallA, false);
    EXPECT_EQ(GetBinding(255).keyCode, 255);
    UnbindKey(255);
    KeyDown(255);
    EXPECT_EQ(Tick(), "");
}
}  // namespace
