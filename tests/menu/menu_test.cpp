#include "menu/menu.h"

#include <gtest/gtest.h>

namespace {
MenuButton PlayButton()
{
    MenuButton button{};
    button.left = 0.35;
    button.bottom = 0.7;
    button.right = 1.95;
    button.top = 1.3;
    button.normalAlpha = 1.0;
    button.hoverSoundArmed = true;
    button.clickArmed = true;
    return button;
}

TEST(MenuTest, ButtonsTakeOnlyPointsStrictlyInside)
{
    const MenuButton button = PlayButton();
    struct Case {
        double x;
        double y;
        bool inside;
    };
    const Case cases[] = {{1.0, 1.0, true},  {0.35, 1.0, false}, {1.95, 1.0, false},
                          {1.0, 0.7, false}, {1.0, 1.3, false},  {0.36, 0.71, true},
                          {-1.0, 1.0, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(button.HitTest(c.x, c.y), c.inside);
    }
}

// The first hovered frame shows the hover picture alone; then the two pictures cross-fade
// at 0.0013 per millisecond and jump back at their ends.
TEST(MenuTest, HoveredButtonPulses)
{
    MenuButton button = PlayButton();
    button.Hover(10, 1.0, 1.0);
    EXPECT_DOUBLE_EQ(button.normalAlpha, 0.0);
    EXPECT_DOUBLE_EQ(button.hoverAlpha, 1.0);
    EXPECT_FALSE(button.hoverSoundArmed);
    button.Hover(100, 1.0, 1.0);
    EXPECT_NEAR(button.normalAlpha, 0.13, 1e-9);
    EXPECT_NEAR(button.hoverAlpha, 0.87, 1e-9);
    for (int i = 0; i < 7; ++i) {
        button.Hover(100, 1.0, 1.0);
    }
    EXPECT_NEAR(button.normalAlpha, 1.04, 1e-9);
    button.Hover(100, 1.0, 1.0);
    EXPECT_DOUBLE_EQ(button.normalAlpha, 0.0);
    EXPECT_DOUBLE_EQ(button.hoverAlpha, 1.0);

    button.Hover(10, -3.0, 0.0);
    EXPECT_DOUBLE_EQ(button.normalAlpha, 1.0);
    EXPECT_DOUBLE_EQ(button.hoverAlpha, 0.0);
    EXPECT_TRUE(button.hoverSoundArmed);
}

TEST(MenuTest, ClicksAnswerWhichButtonAndPlayHidesTheMenu)
{
    Menu menu;
    menu.playButton = PlayButton();
    menu.backButton = PlayButton();
    menu.backButton.left = -1.95;
    menu.backButton.right = -0.35;
    EXPECT_TRUE(menu.visible);
    EXPECT_EQ(menu.Click(0.0, 0.0), MENU_CLICK_NONE);
    EXPECT_TRUE(menu.visible);
    EXPECT_EQ(menu.Click(-1.0, 1.0), MENU_CLICK_BACK);
    EXPECT_TRUE(menu.visible);
    EXPECT_EQ(menu.Click(1.0, 1.0), MENU_CLICK_PLAY);
    EXPECT_FALSE(menu.visible);
    EXPECT_FALSE(menu.playButton.clickArmed);
}
}  // namespace
