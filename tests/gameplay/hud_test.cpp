#include "gameplay/hud.h"

#include "gameplay/match.h"
#include "shell/display.h"

#include <gtest/gtest.h>

namespace {
// In every video mode the two panels keep to their own top corner, in the top sixth of the
// screen and each in its own half, with the health bar inside its panel.
TEST(HudTest, PanelsKeepToTheTopCorners)
{
    for (const VideoMode &mode : VIDEO_MODES) {
        SCOPED_TRACE(mode.name);
        const HudPanel first = HudPanelOf(1, mode.width, mode.height);
        const HudPanel second = HudPanelOf(2, mode.width, mode.height);
        for (const HudPanel &panel : {first, second}) {
            EXPECT_GE(panel.left, 0);
            EXPECT_LE(panel.left + HUD_PANEL_WIDTH, mode.width);
            EXPECT_LE(panel.top, mode.height);
            EXPECT_GE(panel.top - HUD_PANEL_HEIGHT, mode.height * 5 / 6);
            EXPECT_GE(panel.barLeft, panel.left);
            EXPECT_LE(panel.barLeft + panel.barWidth, panel.left + HUD_PANEL_WIDTH);
            EXPECT_GE(panel.barBottom, panel.top - HUD_PANEL_HEIGHT);
            EXPECT_LE(panel.barBottom + panel.barHeight, panel.top);
        }
        EXPECT_LE(first.left + HUD_PANEL_WIDTH, mode.width / 2);
        EXPECT_GE(second.left, mode.width / 2);
    }
}
}  // namespace
