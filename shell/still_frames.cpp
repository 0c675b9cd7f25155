#include "shell/still_frames.h"

#include "console/drop_down.h"
#include "gameplay/match.h"
#include "gameplay/weapons.h"
#include "input/bindings.h"
#include "input/pad.h"
#include "menu/menu.h"
#include "shell/demo.h"
#include "shell/game.h"

namespace {
constexpr double CONSOLE_PARKED_ABOVE = 3.0;  // the view's top edge in world units

bool changed = true;  // the first frame is always drawn
int32_t shownCursor[2] = {-1, -1};

bool AnyKeyHeld()
{
    for (int32_t key = 0; key < KEY_TABLE_SIZE; ++key) {
        if (GetBinding(uint32_t(key)).pressed) {
            return true;
        }
    }
    return false;
}

bool WorldAtRest()
{
    if (MatchOn()) {
        return false;  // its clock and respawns run on their own
    }
    for (int32_t slot = 0; slot < PROJECTILE_SLOTS; ++slot) {
        if (GetProjectile(slot).type != 0) {
            return false;
        }
    }
    return PlayerAtRest(players[0], gravity) && PlayerAtRest(players[1], gravity);
}
}  // namespace

bool FrameIsStill(const StillView &view)
{
    if (view.changed || view.cursorMoved || view.keysHeld || view.mouseButtonHeld ||
        view.padsActive || !view.consoleParked) {
        return false;
    }
    return view.menuVisible ? !view.buttonHovered : view.worldAtRest;
}

bool PlayerAtRest(const Player &player, float pull)
{
    // A step adds the pull to the fall and lifts the player back to the floor only if it falls.
    return player.horizontalVelocity == 0.0f && player.airborne == 0 &&
           player.jumpVelocity == 0.0f && player.fallVelocity == 0.0f &&
           player.pose.y == FLOOR_HEIGHT && player.walk.currentFrame == 0 && pull >= 0.0f;
}

void NoteFrameShown(int32_t cursorX, int32_t cursorY)
{
    changed = false;
    shownCursor[0] = cursorX;
    shownCursor[1] = cursorY;
}

void NoteFrameChange() { changed = true; }

StillView ReadStillView(int32_t cursorX, int32_t cursorY, bool mouseButtonHeld)
{
    StillView view = {};
    view.changed = changed;
    view.cursorMoved = cursorX != shownCursor[0] || cursorY != shownCursor[1];
    view.keysHeld = AnyKeyHeld();
    view.mouseButtonHeld = mouseButtonHeld;
    view.padsActive = !PadsAtRest();
    view.menuVisible = mainMenu.visible;
    const WorldPoint cursor = CursorToWorld(cursorX, cursorY);
    view.buttonHovered = mainMenu.playButton.HitTest(cursor.x, cursor.y) ||
                         mainMenu.backButton.HitTest(cursor.x, cursor.y);
    view.consoleParked = !C_IsOpen() && C_Position() > CONSOLE_PARKED_ABOVE;
    view.worldAtRest = (DemoActive() && !DemoPlaying()) || WorldAtRest();  // a held replay
    return view;
}
