#pragma once

#include <cstdint>
#include <vector>

// A RIFF WAVE file of 16-bit PCM: `samples` interleaved over `channels`, at `rate` per second.
std::vector<uint8_t> EncodeWav(const std::vector<int16_t> &samples, int32_t rate, int32_t channels);
