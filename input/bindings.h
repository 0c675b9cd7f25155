#pragma once

#include <cstdint>

using KeyCallback = void (*)();

struct KeyBinding {
    bool once;     // fires once per press instead of every tick
    bool armed;    // a once binding may fire; set by binding and by key-up
    bool pressed;  // down since the last key-up (a once binding: until its tick)
    int32_t keyCode;
    KeyCallback callback;
};

constexpr int32_t KEY_TABLE_SIZE = 256;

// Zeroes all 256 bindings.
void ClearBindings();

// Binds `keyCode` (0..255; anything else gets a console line) to `callback`.
void BindKey(int32_t keyCode, KeyCallback callback, bool once);
void UnbindKey(int32_t keyCode);

// Key-downs count only for bound keys while bindings are enabled; key-ups always count.
void KeyDown(uint32_t keyCode);
void KeyUp(uint32_t keyCode);

// Releases every key through KeyUp: called when the menu shows, the console opens or the window
// loses the focus, whose key-ups the bindings never see.
void ReleaseHeldKeys();

// The console switches bindings off while it is open, releasing the keys held then.
void SetBindingsEnabled(bool consoleOpen);

// Calls the actions of the keys held down, in ascending key order: a repeat binding's on every
// tick, a once binding's on the first tick after its press only, until a key-up re-arms it.
void DispatchHeldKeys();

// The binding of one key, for reading.
const KeyBinding &GetBinding(uint32_t keyCode);
