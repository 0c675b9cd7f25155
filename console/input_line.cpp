#include "console/input_line.h"

#include "console/console.h"
#include "console/registry.h"
#include "input/bindings.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr int32_t MAX_TYPED = 80;
constexpr uint32_t KEY_BACKQUOTE_CHARACTER = 96;
constexpr uint32_t KEY_OEM_BACKQUOTE = 192;
constexpr uint32_t KEY_BACKSPACE = 8;
constexpr uint32_t KEY_TAB = 9;
constexpr uint32_t KEY_LINE_FEED = 10;
constexpr uint32_t KEY_ENTER = 13;
constexpr uint32_t KEY_UP = 38;
constexpr uint32_t KEY_DOWN = 40;
constexpr uint32_t KEY_INSERT = 45;

struct HistoryLine {
    char text[C_LINE_SIZE];
};

bool consoleOpen = false;
bool cursorShape = false;
char inputLine[C_LINE_SIZE];
// Follows the typed length, except that the back-quote key empties only the text and
// C_SetOpen resets only the length; the cursor is drawn from this.
int32_t inputLength = 0;
std::vector<HistoryLine> history;  // oldest first
int32_t historyPosition = 0;
double blinkPhase = 0.0;  // 0 to 1; the cursor shows in the first half

void SetInputLine(const char *text)
{
    snprintf(inputLine, sizeof inputLine, "%s", text);
    inputLength = int32_t(strlen(inputLine));
}

void OnCharacter(uint32_t code)
{
    switch (code) {
    case KEY_BACKSPACE:
        if (inputLength > 0) {
            const size_t length = strlen(inputLine);
            if (length > 0) {
                inputLine[length - 1] = '\0';
            }
            --inputLength;
        }
        break;
    case KEY_TAB:
        if (inputLine[0] != '\0') {
            SetInputLine(C_Complete(inputLine));
        }
        break;
    case KEY_LINE_FEED:
        break;
    case KEY_ENTER: {
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
    case KEY_UP:
        ++historyPosition;
        if (C_HistoryGet(historyPosition)[0] == '\0') {
            --historyPosition;
        }
        SetInputLine(C_HistoryGet(historyPosition));
        break;
    case KEY_DOWN:
        --historyPosition;
        if (C_HistoryGet(historyPosition)[0] == '\0') {
            historyPosition = 0;
        }
        SetInputLine(C_HistoryGet(historyPosition));
        break;
    case KEY_INSERT:
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
    history.clear();
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
    if (code == KEY_BACKQUOTE_CHARACTER && message == C_CHARACTER) {
        C_SetOpen(KEY_BACKQUOTE_CHARACTER, !consoleOpen);
        return;
    }
    if (code == KEY_OEM_BACKQUOTE) {
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

void C_HistoryAdd(const char *line)
{
    HistoryLine entry;
    snprintf(entry.text, sizeof entry.text, "%s", line);
    history.push_back(entry);
}

const char *C_HistoryGet(int32_t n)
{
    if (n <= 0 || size_t(n) > history.size()) {
        return "";
    }
    return history[history.size() - size_t(n)].text;
}
