#pragma once

#include <cstdint>

// The event pump's calls into the pads; nothing outside the platform layer makes them.

// A pad with a controller mapping was plugged in as device `deviceIndex`: opens it into the
// lowest free slot and calls the hook. A pad already open, or one more than the slots hold, is
// ignored.
void P_PadAdded(int32_t deviceIndex);

// The pad with joystick instance `instanceId` was pulled: closes it, frees its slot and calls
// the hook. Unknown instances are ignored.
void P_PadRemoved(int32_t instanceId);
