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

// The scan ends after a once binding's turn: higher keys wait for the next tick, lower ones don't.
TEST_F(BindingsTest, OnceBindingEndsTheScan)
{
    BindKey(' ', CallA, false);
    BindKey('1', CallB, true);
    BindKey('2', CallC, true);
    BindKey('D', CallC, false);
    KeyDown(' ');
    KeyDown('1');
    KeyDown('2');
    EXPECT_EQ(Tick(), "ab");
    EXPECT_EQ(Tick(), "ac");
    KeyDown('D');
    KeyDown('1');  // auto-repeat of a key already used
    EXPECT_EQ(Tick(), "a");
    EXPECT_EQ(Tick(), "ac");
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
    KeyDown(300);
    KeyUp(300);
}

// The menu, the console and a lost focus hide the key-ups: a released key must not act on, and a
// once key used before must act on its next press.
TEST_F(BindingsTest, ReleasingHeldKeysStopsAndRearmsThem)
{
    BindKey('D', CallA, false);
    BindKey('1', CallB, true);
    KeyDown('D');
    KeyDown('1');
    EXPECT_EQ(Tick(), "b");
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
