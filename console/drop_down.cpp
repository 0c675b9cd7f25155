#include "console/drop_down.h"

#include "console/console.h"
#include "console/registry.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "input/bindings.h"
#include "platform/gl.h"
#include "platform/keys.h"
#include "shell/display.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr int32_t MAX_TYPED = 80;
// Characters, as they arrive with C_CHARACTER; key codes come from platform/keys.h.
constexpr uint32_t CHAR_BACKSPACE = 8, CHAR_TAB = 9, CHAR_LINE_FEED = 10, CHAR_ENTER = 13,
                   CHAR_BACKQUOTE = 96;

bool consoleOpen = false;
bool cursorShape = false;
char inputLine[C_LINE_SIZE];
// Follows the typed length, except that the back-quote key empties only the text and
// C_SetOpen resets only the length; the cursor is drawn from this.
int32_t inputLength = 0;
int32_t historyPosition = 0;
double blinkPhase = 0.0;  // 0 to 1; the cursor shows in the first half

double consolePosition = 3.0;  // world y of the lower edge: 3 hidden, 0 fully open
double textureScroll = 0.0;
double swirlAngle = 0.0;  // 0 to 180, in radians, so it turns slowly through many cycles
T_Texture background;

constexpr double SLIDE_PER_MS = 0.01;  // 300 ms from hidden to open
constexpr uint32_t MAX_FRAME_MS = 1000;
constexpr uint8_t CURSOR_GLYPH_INSERT = 11;

void SetInputLine(const char *text)
{
    // Tab without a match hands back the line itself, and snprintf onto its own source empties it.
    if (text != inputLine) {
        snprintf(inputLine, sizeof inputLine, "%s", text);
    }
    inputLength = int32_t(strlen(inputLine));
}

void OnCharacter(uint32_t code)
{
    switch (code) {
    case CHAR_BACKSPACE:
        if (inputLength > 0) {
            const size_t length = strlen(inputLine);
            if (length > 0) {
                inputLine[length - 1] = '\0';
            }
            --inputLength;
        }
        break;
    case CHAR_TAB:
        if (inputLine[0] != '\0') {
            SetInputLine(C_Complete(inputLine));
        }
        break;
    case CHAR_LINE_FEED:
        break;
    case CHAR_ENTER: {
        historyPosition = 0;
        char line[C_LINE_SIZE];
        memcpy(line, inputLine, sizeof line);
        inputLine[0] = '\0';
        inputLength = 0;
        C_Execute(line);
        break;
    }
    default: {
        const size_t length = strlen(inputLine);
        if (inputLength < MAX_TYPED && length < size_t(MAX_TYPED)) {
            inputLine[length] = char(code);
            inputLine[length + 1] = '\0';
            ++inputLength;
        }
        break;
    }
    }
}

void OnKeyDown(uint32_t code)
{
    switch (code) {
    case P_KEY_UP:
        ++historyPosition;
        if (C_HistoryGet(historyPosition)[0] == '\0') {
            --historyPosition;
        }
        SetInputLine(C_HistoryGet(historyPosition));
        break;
    case P_KEY_DOWN:
        --historyPosition;
        if (C_HistoryGet(historyPosition)[0] == '\0') {
            historyPosition = 0;
        }
        SetInputLine(C_HistoryGet(historyPosition));
        break;
    case P_KEY_INSERT:
        cursorShape = !cursorShape;
        break;
    default:
        break;
    }
}
}  // namespace

void C_InitInputLine()
{
    consoleOpen = false;
    cursorShape = false;
    memset(inputLine, 0, sizeof inputLine);
    inputLength = 0;
    historyPosition = 0;
}

bool C_IsOpen() { return consoleOpen; }

void C_SetOpen(uint32_t keyCode, bool open)
{
    consoleOpen = open;
    SetBindingsEnabled(open);
    KeyUp(keyCode);
    inputLength = 0;
    blinkPhase = 0.0;
}

void C_KeyEvent(uint32_t message, uint32_t code)
{
    if (code == CHAR_BACKQUOTE && message == C_CHARACTER) {
        C_SetOpen(CHAR_BACKQUOTE, !consoleOpen);
        return;
    }
    if (code == P_KEY_GRAVE) {
        inputLine[0] = '\0';
        if (message == C_CHARACTER) {
            consoleOpen = !consoleOpen;
            SetBindingsEnabled(consoleOpen);
        }
    }
    if (!consoleOpen) {
        return;
    }
    if (message == C_CHARACTER) {
        OnCharacter(code);
    } else if (message == C_KEY_DOWN) {
        OnKeyDown(code);
    }
}

const char *C_InputLine() { return inputLine; }

namespace {
void SlideAndAnimate(uint32_t elapsed)
{
    const double step = elapsed * SLIDE_PER_MS;
    if (consolePosition >= 0.0 && consoleOpen) {
        consolePosition -= step;
    }
    if (consolePosition <= 3.0 && !consoleOpen) {
        consolePosition += step;
    }
    if (consolePosition <= 0.0) {
        consolePosition = 0.0;
    }
}

void AdvancePhases(uint32_t elapsed)
{
    textureScroll += elapsed * 0.00007;
    blinkPhase += elapsed * 0.002;
    if (swirlAngle < 180.0) {
        swirlAngle += elapsed * 0.00035;
    } else {
        swirlAngle = 0.0;
    }
}

// Slides the console and, while it is in view, advances its phases; false when it is not drawn.
bool Advance(uint32_t elapsed)
{
    // A long stall would make the console jump; it waits a frame instead.
    if (elapsed > MAX_FRAME_MS) {
        return false;
    }
    SlideAndAnimate(elapsed);
    if (consolePosition > 3.0) {
        return false;
    }
    AdvancePhases(elapsed);
    return true;
}

void EndBlink()
{
    if (blinkPhase >= 1.0) {
        blinkPhase = 0.0;
    }
}

void DrawBackdrop()
{
    const double u = sin(swirlAngle);
    const double v = cos(swirlAngle + 90.0);
    glEnable(GL_TEXTURE_2D);
    background.Bind();
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2d(u, v);
    glVertex2d(-4.0, consolePosition);
    glTexCoord2d(u, 1.0 + v);
    glVertex2d(-4.0, 3.0);
    glTexCoord2d(2.0 + u, 1.0 + v);
    glVertex2d(4.0, 3.0);
    glTexCoord2d(2.0 + u, v);
    glVertex2d(4.0, consolePosition);
    glEnd();

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 0.65f);
    glBegin(GL_QUADS);
    glTexCoord2d(textureScroll, 0.0);
    glVertex2d(-4.0, consolePosition);
    glTexCoord2d(textureScroll, 1.0);
    glVertex2d(-4.0, 3.0);
    glTexCoord2d(2.0 + textureScroll, 1.0);
    glVertex2d(4.0, 3.0);
    glTexCoord2d(2.0 + textureScroll, 0.0);
    glVertex2d(4.0, consolePosition);
    glEnd();

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glLineWidth(2.0f);
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_LINES);
    glVertex2d(-4.0, consolePosition);
    glVertex2d(4.0, consolePosition);
    glEnd();
}

void DrawText(int32_t mode)
{
    const VideoMode &video = VIDEO_MODES[mode];
    const int32_t size = mode + 11;
    // The lower edge moves W/8 pixels per world unit.
    const double lift = video.width * consolePosition / 8.0;
    const auto rowY = [&](int32_t offset) { return int32_t(video.height / 2 + offset + lift); };

    if (consoleOpen) {
        const int32_t y = rowY(size);
        if (blinkPhase <= 0.5) {
            const char cursor[2] = {char(cursorShape ? CURSOR_GLYPH_INSERT : '_'), '\0'};
            F_SetSize(size);
            F_Print((inputLength + 1) * size, y, "%s", cursor);
        }
        F_SetSize(size);
        F_Print(size, y, "%s", inputLine);
        F_SetSize(size);
        F_Print(0, y, "]");
    }
    const int32_t current = C_CurrentRow();
    for (int32_t i = 1; i <= mode + 24; ++i) {
        char row[C_LINE_SIZE];
        C_GetRow(current - i, row);
        if (row[0] != '\0') {
            F_SetSize(size);
            F_Print(0, rowY(size + i * size), "%s", row);
        }
    }
    F_SetSize(size);
    F_SetColor(1.0f, 0.0f, 0.0f);
    F_Shadow();
    F_SetShadowColor(0.0f, 0.0f, 0.0f);
    F_Print(video.width - 10 * size, rowY(4), "Vorn2 v%s", C_VERSION);
}
}  // namespace

void C_LoadBackground()
{
    consolePosition = 3.0;
    background.Load("basev2/textures/oth/console.bmp", false);
}

void C_Draw(uint32_t elapsed, int32_t mode)
{
    if (!Advance(elapsed)) {
        return;
    }
    DrawBackdrop();
    EndBlink();
    DrawText(mode);
}

void C_Advance(uint32_t elapsed)
{
    if (Advance(elapsed)) {
        EndBlink();
    }
}

double C_Position() { return consolePosition; }

double C_CoversFrom(uint32_t elapsed)
{
    // Open, the console only slides down; a frame it skips draws no backdrop at all.
    if (!consoleOpen || elapsed > MAX_FRAME_MS || consolePosition > 3.0) {
        return 3.0;
    }
    return consolePosition;
}
