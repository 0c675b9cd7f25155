#include "tools/datagen/sounds.h"

#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

// Every sound peaks near -3 dBFS (about 23197), is not silent, and starts and ends at rest so
// playing it does not click.
TEST(Sounds, LevelsAndQuietEdges)
{
    const struct {
        const char *name;
        std::vector<int16_t> (*synth)();
        double maxSeconds;
    } sounds[] = {
        {"click", SynthClick, 0.2}, {"hover", SynthHover, 0.2},
        {"jump", SynthJump, 0.5},   {"rocket", SynthRocketLaunch, 1.5},
        {"rail", SynthRail, 1.5},   {"plasma", SynthPlasma, 0.15},
        {"hit", SynthHit, 0.5},     {"explosion", SynthExplosion, 2.5},
    };
    for (const auto &sound : sounds) {
        SCOPED_TRACE(sound.name);
        const std::vector<int16_t> samples = sound.synth();
        ASSERT_GT(samples.size(), 100u);
        EXPECT_LT(double(samples.size()) / SOUND_RATE, sound.maxSeconds);
        int32_t peak = 0;
        double energy = 0.0;
        for (const int16_t s : samples) {
            peak = std::max(peak, std::abs(int32_t(s)));
            energy += double(s) * double(s);
        }
        EXPECT_NEAR(peak, 23197, 300);
        EXPECT_GT(std::sqrt(energy / double(samples.size())), 1000.0) << "too quiet overall";
        EXPECT_LT(std::abs(samples.front()), 200);
        EXPECT_LT(std::abs(samples.back()), 200);
    }
}
