#include "tools/datagen/wav.h"

#include "platform/file.h"

#include <cstddef>
#include <cstring>

std::vector<uint8_t> EncodeWav(const std::vector<int16_t> &samples, int32_t rate, int32_t channels)
{
    const uint32_t dataSize = uint32_t(samples.size() * 2);
    std::vector<uint8_t> file(44 + dataSize);
    uint8_t *const h = file.data();
    memcpy(h, "RIFF", 4);
    WriteLE32(h + 4, 36 + dataSize);
    memcpy(h + 8, "WAVEfmt ", 8);
    WriteLE32(h + 16, 16);
    WriteLE16(h + 20, 1);  // PCM
    WriteLE16(h + 22, uint16_t(channels));
    WriteLE32(h + 24, uint32_t(rate));
    WriteLE32(h + 28, uint32_t(rate * channels * 2));
    WriteLE16(h + 32, uint16_t(channels * 2));
    WriteLE16(h + 34, 16);
    memcpy(h + 36, "data", 4);
    WriteLE32(h + 40, dataSize);
    for (size_t i = 0; i < samples.size(); ++i) {
        WriteLE16(h + 44 + i * 2, uint16_t(samples[i]));
    }
    return file;
}
