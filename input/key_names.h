#pragma once

#include <cstdint>

// The name bind and bindlist give key code `keyCode` ("space", "f12", "kp_ins", "mouse1"), lower
// case; nullptr for codes without one.
const char *KeyName(int32_t keyCode);

// The key code called `name`, in any case; -1 for a name no key has.
int32_t KeyCodeFromName(const char *name);
