#pragma once

#include <cstdint>
#include <vector>

constexpr int32_t SOUND_RATE = 22050;

// Each sound is mono 16-bit at SOUND_RATE, its peak at -3 dBFS, faded in and out so it starts and
// ends without a click.
std::vector<int16_t> SynthClick();         // menu button click
std::vector<int16_t> SynthHover();         // soft blip when the pointer reaches a button
std::vector<int16_t> SynthJump();          // a whoosh with a short grunt
std::vector<int16_t> SynthRocketLaunch();  // ignition thump and a roaring whoosh
std::vector<int16_t> SynthRail();          // charge sweep, crack and a ringing tail
std::vector<int16_t> SynthPlasma();        // a short falling "pew", under 150 ms
std::vector<int16_t> SynthHit();           // body thud with a grunt
std::vector<int16_t> SynthExplosion();     // boom with a long rumble
