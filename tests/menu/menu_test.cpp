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
