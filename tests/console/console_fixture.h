#pragma once

#include "console/commands.h"
#include "console/console.h"
#include "console/registry.h"
#include "tests/support/console_output.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

// A fresh console in a folder of its own with an empty basev2/, as the game starts in.
class ConsoleFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.Path("basev2"));
        C_Init();
        output.Skip();
    }
    void TearDown() override { C_Shutdown(); }

    // Everything the console printed for `line`, its echo included.
    std::string Execute(const std::string &line)
    {
        output.Skip();
        C_Execute(line.c_str());
        return output.Printed();
    }

    TempDir dir;
    WorkingDirectory cwd{dir.Root()};
    ConsoleOutput output;
};

// The same, with one float variable, gravity, at 0.3.
class GravityTest : public ConsoleFolderTest {
protected:
    void SetUp() override
    {
        ConsoleFolderTest::SetUp();
        gravity = 0.3f;
        C_AddCommand(
            "gravity", [] { gravity = C_ArgFloat(); }, [] { C_ReportFloat(gravity); });
    }

    static inline float gravity = 0.0f;
};
