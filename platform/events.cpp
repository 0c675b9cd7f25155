#include "platform/events.h"

#include "platform/keys.h"
#include "platform/pad_internal.h"
#include "platform/window.h"
#include "platform/window_internal.h"

#include <cmath>
#include <csignal>

#include <SDL.h>

namespace {
// Room for a burst of typing: one SDL event makes at most a few messages.
constexpr int QUEUE_CAPACITY = 256;

P_Message queue[QUEUE_CAPACITY];
int queueHead = 0;
int queueCount = 0;
bool quitPosted = false;
bool pointerMessages = false;

volatile sig_atomic_t stopSignal = 0;  // set by the handler, taken by the queue
bool stopDelivered = false;

bool minimised = false;  // no paint is offered then, as for a window with nothing to show
void (*fullscreenToggle)() = nullptr;

uint32_t frameIntervalMs = 10;
uint64_t nextDue = 0;  // performance-counter value when the next frame is due; 0 = at once

void Enqueue(uint32_t message, uint32_t wParam, int32_t x = 0, int32_t y = 0)
{
    if (queueCount == QUEUE_CAPACITY) {
        return;  // a flood nobody reads: drop the newest rather than grow
    }
    queue[(queueHead + queueCount) % QUEUE_CAPACITY] = P_Message{message, wParam, x, y};
    ++queueCount;
}

// What Windows' TranslateMessage makes of the keys that type control characters.
uint32_t ControlCharacter(uint8_t key)
{
    switch (key) {
    case 8:
    case 9:
    case 13:
    case 27:
        return key;
    default:
        return 0;
    }
}

void TranslateKey(const SDL_KeyboardEvent &event)
{
    const uint8_t key = P_KeyFromScancode(event.keysym.scancode);
    if (key == P_KEY_NONE) {
        return;
    }
    if (event.type == SDL_KEYUP) {
        Enqueue(P_WM_KEYUP, key);
        return;
    }
    // Alt+Enter belongs to the window alone: Enter places a brick in the editor.
    if (key == P_KEY_ENTER && (event.keysym.mod & KMOD_ALT) != 0 && fullscreenToggle != nullptr) {
        if (event.repeat == 0) {
            fullscreenToggle();
        }
        return;
    }
    Enqueue(P_WM_KEYDOWN, key);
    const uint32_t character = ControlCharacter(key);
    if (character != 0 && (event.keysym.mod & (KMOD_CTRL | KMOD_ALT)) == 0) {
        Enqueue(P_WM_CHAR, character);
    }
}

void TranslateText(const char *text)
{
    uint8_t characters[SDL_TEXTINPUTEVENT_TEXT_SIZE];
    const int count = P_Latin1FromUtf8(text, characters, int(sizeof characters));
    for (int i = 0; i < count; ++i) {
        Enqueue(P_WM_CHAR, characters[i]);
    }
}

void TranslateMouseButton(const SDL_MouseButtonEvent &event)
{
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    int32_t x = 0;
    int32_t y = 0;
    P_MapPointer(event.x, event.y, &x, &y);
    if (event.button == SDL_BUTTON_LEFT) {
        Enqueue(down ? P_WM_LBUTTONDOWN : P_WM_LBUTTONUP, 0, x, y);
    } else if (event.button == SDL_BUTTON_RIGHT) {
        Enqueue(down ? P_WM_RBUTTONDOWN : P_WM_RBUTTONUP, 0, x, y);
    } else if (event.button == SDL_BUTTON_MIDDLE) {
        Enqueue(down ? P_WM_MBUTTONDOWN : P_WM_MBUTTONUP, 0, x, y);
    }
}

void TranslateMouseMotion(const SDL_MouseMotionEvent &event)
{
    if (!pointerMessages) {
        return;
    }
    // A burst of moves would keep the editor drawing stale positions: moves that come straight
    // after this one in SDL's queue are taken with it, and the last position counts.
    int32_t windowX = event.x;
    int32_t windowY = event.y;
    SDL_Event next;
    while (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
           next.type == SDL_MOUSEMOTION) {
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
        windowX = next.motion.x;
        windowY = next.motion.y;
    }
    int32_t x = 0;
    int32_t y = 0;
    P_MapPointer(windowX, windowY, &x, &y);
    Enqueue(P_WM_MOUSEMOVE, 0, x, y);
}

void TranslateMouseWheel(const SDL_MouseWheelEvent &event)
{
    const int32_t steps = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    if (pointerMessages && steps != 0) {
        int32_t windowX = 0;
        int32_t windowY = 0;
        SDL_GetMouseState(&windowX, &windowY);
        int32_t x = 0;
        int32_t y = 0;
        P_MapPointer(windowX, windowY, &x, &y);
        Enqueue(P_WM_MOUSEWHEEL, uint32_t(steps), x, y);
    }
}

// A window that comes back, or whose picture was lost under another, is painted at once.
void TranslateVisibility(uint8_t change)
{
    switch (change) {
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        minimised = true;
        Enqueue(P_WM_SHOWWINDOW, 0);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
        minimised = false;
        nextDue = 0;
        Enqueue(P_WM_SHOWWINDOW, 1);
        break;
    default:
        break;
    }
}

void Translate(const SDL_Event &event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(event.key);
        break;
    case SDL_TEXTINPUT:
        TranslateText(event.text.text);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateMouseButton(event.button);
        break;
    case SDL_MOUSEMOTION:
        TranslateMouseMotion(event.motion);
        break;
    case SDL_MOUSEWHEEL:
        TranslateMouseWheel(event.wheel);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            Enqueue(P_WM_ACTIVATE, 1);
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            Enqueue(P_WM_ACTIVATE, 0);
        } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            Enqueue(P_WM_SIZE, uint32_t(event.window.data1) | (uint32_t(event.window.data2) << 16));
        } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            Enqueue(P_WM_CLOSE, 0);
        } else {
            TranslateVisibility(event.window.event);
        }
        break;
    case SDL_QUIT:
        Enqueue(P_WM_CLOSE, 0);
        break;
    case SDL_CONTROLLERDEVICEADDED:
        P_PadAdded(event.cdevice.which);  // a device index
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        P_PadRemoved(event.cdevice.which);  // a joystick instance, not an index
        break;
    default:
        break;
    }
}

uint64_t IntervalTicks()
{
    return uint64_t(frameIntervalMs) * SDL_GetPerformanceFrequency() / 1000;
}

double MillisecondsUntilDue()
{
    const uint64_t now = SDL_GetPerformanceCounter();
    if (nextDue <= now) {
        return 0.0;
    }
    return double(nextDue - now) * 1000.0 / double(SDL_GetPerformanceFrequency());
}

bool PaintDue() { return P_WindowShown() && !minimised && P_FrameDue(); }

// Only sets the flag: the shut-down runs later, from the queue, where it is safe.
void OnStopSignal(int number)
{
    if (stopSignal != 0) {
        signal(number, SIG_DFL);  // a shut-down that hangs still yields to a second signal
        raise(number);
        return;
    }
    stopSignal = number;
}
}  // namespace

void P_CatchStopSignals()
{
    stopSignal = 0;
    stopDelivered = false;
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void P_ResetQueue()
{
    queueHead = 0;
    queueCount = 0;
    quitPosted = false;
    minimised = false;
    nextDue = 0;
}

void P_NoteFramePresented()
{
    // Frames keep a fixed schedule, so the time spent drawing comes out of the interval instead
    // of adding to it; after a stall the schedule starts again from now rather than catching up.
    const uint64_t now = SDL_GetPerformanceCounter();
    const uint64_t scheduled = nextDue == 0 ? now + IntervalTicks() : nextDue + IntervalTicks();
    nextDue = scheduled > now ? scheduled : now;
}

bool P_PumpOneEvent(int timeoutMilliseconds)
{
    SDL_Event event;
    const int got = timeoutMilliseconds > 0 ? SDL_WaitEventTimeout(&event, timeoutMilliseconds)
                                            : SDL_PollEvent(&event);
    if (got == 0) {
        return false;
    }
    Translate(event);
    return true;
}

void P_SetFullscreenToggle(void (*toggle)()) { fullscreenToggle = toggle; }

void P_SetFrameInterval(uint32_t milliseconds) { frameIntervalMs = milliseconds; }

uint32_t P_FrameInterval() { return frameIntervalMs; }

void P_SetPointerMessages(bool on) { pointerMessages = on; }

bool P_FrameDue() { return nextDue == 0 || SDL_GetPerformanceCounter() >= nextDue; }

void P_SkipFrame()
{
    P_NoteFramePresented();
    P_CallPresentHook();
}

bool P_PeekMessage(P_Message *message)
{
    if (quitPosted) {
        *message = P_Message{P_WM_QUIT, 0, 0, 0};
        return true;
    }
    if (stopSignal != 0 && !stopDelivered && queueCount < QUEUE_CAPACITY) {
        stopDelivered = true;
        Enqueue(P_WM_DESTROY, 0);
    }
    while (queueCount == 0 && P_PumpOneEvent(0)) {
    }
    if (queueCount > 0) {
        *message = queue[queueHead];
        return true;
    }
    if (PaintDue()) {
        *message = P_Message{P_WM_PAINT, 0, 0, 0};
        return true;
    }
    // Nothing to do until the next frame is due: sleep, but wake for input.
    const double waitMs =
        P_WindowShown() && !minimised ? MillisecondsUntilDue() : double(frameIntervalMs);
    if (waitMs > 0.0) {
        P_PumpOneEvent(int(ceil(waitMs)));
    }
    return false;
}

bool P_GetMessage(P_Message *message)
{
    while (!P_PeekMessage(message)) {
    }
    if (message->message == P_WM_QUIT) {
        return false;
    }
    if (queueCount > 0) {
        queueHead = (queueHead + 1) % QUEUE_CAPACITY;
        --queueCount;
    }
    return true;
}

void P_DispatchMessage(const P_Message &message)
{
    const P_WindowProc proc = P_WindowProcedure();
    if (proc != nullptr) {
        proc(message);
    }
}

void P_SendMessage(uint32_t message, uint32_t wParam)
{
    P_DispatchMessage(P_Message{message, wParam, 0, 0});
}

void P_PostQuitMessage() { quitPosted = true; }
