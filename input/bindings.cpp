#include "input/bindings.h"

#include "console/console.h"

#include <cstring>

namespace {
KeyBinding keyTable[KEY_TABLE_SIZE];
bool bindingsEnabled = true;

bool InTable(int64_t keyCode) { return keyCode >= 0 && keyCode < KEY_TABLE_SIZE; }
}  // namespace

void ClearBindings() { memset(keyTable, 0, sizeof keyTable); }

void BindKey(int32_t keyCode, KeyCallback callback, bool once)
{
    if (!InTable(keyCode)) {
        C_Print("This is not key value\n", nullptr);
        return;
    }
    KeyBinding &binding = keyTable[keyCode];
    binding.keyCode = keyCode;
    binding.callback = callback;
    binding.once = once;
    binding.armed = true;
}

void UnbindKey(int32_t keyCode)
{
    if (!InTable(keyCode)) {
        C_Print("This is not key value\n", nullptr);
        return;
    }
    keyTable[keyCode].callback = nullptr;
    keyTable[keyCode].keyCode = 0;
}

void KeyDown(uint32_t keyCode)
{
    if (keyCode < KEY_TABLE_SIZE && keyTable[keyCode].callback != nullptr && bindingsEnabled) {
        keyTable[keyCode].pressed = true;
    }
}

void KeyUp(uint32_t keyCode)
{
    if (keyCode < KEY_TABLE_SIZE) {
        keyTable[keyCode].pressed = false;
        keyTable[keyCode].armed = true;
    }
}

void ReleaseHeldKeys()
{
    for (uint32_t keyCode = 0; keyCode < KEY_TABLE_SIZE; ++keyCode) {
        KeyUp(keyCode);
    }
}

void SetBindingsEnabled(bool consoleOpen)
{
    bindingsEnabled = !consoleOpen;
    // Key-ups typed into the console still count, but a key held as it opens would act on.
    if (consoleOpen) {
        ReleaseHeldKeys();
    }
}

void DispatchHeldKeys()
{
    for (KeyBinding &binding : keyTable) {
        if (!binding.pressed) {
            continue;
        }
        if (!binding.once) {
            if (binding.callback != nullptr) {
                binding.callback();
            }
            continue;
        }
        if (binding.armed && binding.callback != nullptr) {
            binding.callback();
        }
        // The scan goes on: ending it here let an auto-repeated once key starve the keys above.
        binding.armed = false;
        binding.pressed = false;
    }
}

const KeyBinding &GetBinding(uint32_t keyCode) { return keyTable[keyCode % KEY_TABLE_SIZE]; }
