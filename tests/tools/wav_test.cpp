#include "tools/datagen/wav.h"

#include "platform/file.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

TEST(Wav, HeaderDescribesThePcmData)
{
    const std::vector<int16_t> samples = {0, 1, -2, 32767, -32768, 300};
    for (const auto &[channels, rate] : {std::pair<int32_t, int32_t>{1, 22050}, {2, 44100}}) {
        SCOPED_TRACE(channels);
        const std::vector<uint8_t> file = EncodeWav(samples, rate, channels);
        ASSERT_EQ(file.size(), 44u + samples.size() * 2);
        EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
        EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(ReadLE32(&file[4]), file.size() - 8);
        EXPECT_EQ(ReadLE16(&file[20]), 1);  // PCM
        EXPECT_EQ(ReadLE16(&file[22]), channels);
        EXPECT_EQ(int32_t(ReadLE32(&file[24])), rate);
        EXPECT_EQ(int32_t(ReadLE32(&file[28])), rate * channels * 2);
        EXPECT_EQ(ReadLE16(&file[32]), channels * 2);
        EXPECT_EQ(ReadLE16(&file[34]), 16);
        EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
        EXPECT_EQ(ReadLE32(&file[40]), samples.size() * 2);
        for (size_t i = 0; i < samples.size(); ++i) {
            EXPECT_EQ(int16_t(ReadLE16(&file[44 + i * 2])), samples[i]) << "sample " << i;
        }
    }
}
