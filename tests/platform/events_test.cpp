#include "platform/events.h"

#include "platform/window_internal.h"

#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

namespace {
// The queue fed with SDL events by hand; no window, no display.
class EventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
        P_ResetQueue();
    }
    void TearDown() override
    {
        P_SetPointerMessages(false);
        SDL_Quit();
    }
    // Pushes a pointer event: a move or left click at (x, y), or a wheel turned by x steps.
    static void Push(uint32_t type, int32_t x, int32_t y = 0)
    {
        SDL_Event event = {};
        event.type = type;
        if (type == SDL_MOUSEWHEEL) {
            event.wheel.y = x;
            event.wheel.direction = uint32_t(y);
        } else if (type == SDL_MOUSEMOTION) {
            event.motion.x = x;
            event.motion.y = y;
        } else {
            event.button.button = SDL_BUTTON_LEFT;
            event.button.x = x;
            event.button.y = y;
        }
        SDL_PushEvent(&event);
    }
    // Every message the queue holds now, as message, wParam, x, y.
    static std::vector<std::vector<int32_t>> Drain()
    {
        std::vector<std::vector<int32_t>> messages;
        P_Message message;
        while (P_PeekMessage(&message)) {
            P_GetMessage(&message);
            messages.push_back(
                {int32_t(message.message), int32_t(message.wParam), message.x, message.y});
        }
        return messages;
    }
};

// Moves that wait in the queue together arrive as one at the last position; a click between
// them keeps its place, so no button press is seen at a stale position.
TEST_F(EventsTest, PointerMessagesAreOptInAndMovesMerge)
{
    const int32_t move = int32_t(P_WM_MOUSEMOVE);
    const int32_t down = int32_t(P_WM_LBUTTONDOWN);
    const int32_t wheel = int32_t(P_WM_MOUSEWHEEL);
    const auto feed = [] {
        Push(SDL_MOUSEMOTION, 10, 10);
        Push(SDL_MOUSEMOTION, 20, 15);
        Push(SDL_MOUSEMOTION, 30, 25);
        Push(SDL_MOUSEBUTTONDOWN, 30, 25);
        Push(SDL_MOUSEMOTION, 40, 35);
        Push(SDL_MOUSEWHEEL, 2, SDL_MOUSEWHEEL_NORMAL);
        Push(SDL_MOUSEWHEEL, 1, SDL_MOUSEWHEEL_FLIPPED);
        Push(SDL_MOUSEWHEEL, 0, SDL_MOUSEWHEEL_NORMAL);
    };
    feed();
    EXPECT_EQ(Drain(), (std::vector<std::vector<int32_t>>{{down, 0, 30, 25}}));

    P_SetPointerMessages(true);
    feed();
    const std::vector<std::vector<int32_t>> messages = Drain();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0], (std::vector<int32_t>{move, 0, 30, 25}));
    EXPECT_EQ(messages[1], (std::vector<int32_t>{down, 0, 30, 25}));
    EXPECT_EQ(messages[2], (std::vector<int32_t>{move, 0, 40, 35}));
    EXPECT_EQ(messages[3][0], wheel);
    EXPECT_EQ(messages[3][1], 2);
    EXPECT_EQ(messages[4][0], wheel);
    EXPECT_EQ(messages[4][1], -1);
}
}  // namespace
