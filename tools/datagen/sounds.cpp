#include "tools/datagen/sounds.h"

#include "tools/datagen/raster.h"

namespace {
constexpr float PI = 3.14159265f;
constexpr float RATE = float(SOUND_RATE);
constexpr float PEAK = 0.7079f;  // -3 dBFS

size_t Samples(float seconds) { return size_t(seconds * RATE); }

float Time(size_t i) { return float(i) / RATE; }

// White noise in -1..1, the same every run.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed) {}
    float Next()
    {
        state = state * 1664525u + 1013904223u;
        return float(state >> 8) / float(1 << 23) - 1.0f;
    }
};

// A state-variable filter (trapezoidal form), stable at any cutoff below half the rate.
struct Filter {
    float ic1 = 0.0f;
    float ic2 = 0.0f;
    float low = 0.0f;
    float band = 0.0f;
    float high = 0.0f;
    void Run(float input, float cutoff, float q)
    {
        const float g = std::tan(PI * std::min(cutoff, RATE * 0.45f) / RATE);
        const float k = 1.0f / q;
        const float a1 = 1.0f / (1.0f + g * (g + k));
        const float a2 = g * a1;
        const float a3 = g * a2;
        const float v3 = input - ic2;
        const float v1 = a1 * ic1 + a2 * v3;
        const float v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0f * v1 - ic1;
        ic2 = 2.0f * v2 - ic2;
        low = v2;
        band = v1;
        high = input - k * v1 - v2;
    }
};

// An oscillator whose frequency may change every sample.
struct Oscillator {
    float phase = 0.0f;  // in cycles
    float Sine(float frequency)
    {
        const float value = std::sin(2.0f * PI * phase);
        Step(frequency);
        return value;
    }
    float Saw(float frequency)
    {
        const float value = 2.0f * phase - 1.0f;
        Step(frequency);
        return value;
    }
    void Step(float frequency)
    {
        phase += frequency / RATE;
        phase -= std::floor(phase);
    }
};

// Exponential glide from `from` to `to` over `duration` seconds, then held.
float Glide(float t, float from, float to, float duration)
{
    return from * std::pow(to / from, Clamp01(t / duration));
}

float Decay(float t, float timeConstant) { return std::exp(-t / timeConstant); }

float Attack(float t, float duration) { return Clamp01(t / duration); }

// A voiced grunt: a sawtooth through two vowel formants.
float Grunt(Oscillator *voice, Filter *f1, Filter *f2, float pitch, float formant1, float formant2)
{
    const float source = voice->Saw(pitch);
    f1->Run(source, formant1, 6.0f);
    f2->Run(source, formant2, 8.0f);
    return f1->band + 0.6f * f2->band;
}

std::vector<int16_t> Finish(std::vector<float> wave)
{
    const size_t fadeIn = Samples(0.002f);
    const size_t fadeOut = std::min(wave.size() / 4, Samples(0.012f));
    for (size_t i = 0; i < wave.size(); ++i) {
        if (i < fadeIn) {
            wave[i] *= float(i) / float(fadeIn);
        }
        if (i + fadeOut >= wave.size()) {
            wave[i] *= float(wave.size() - 1 - i) / float(fadeOut);
        }
    }
    float peak = 0.0f;
    for (const float v : wave) {
        peak = std::max(peak, std::fabs(v));
    }
    const float gain = peak > 0.0f ? PEAK / peak : 0.0f;
    std::vector<int16_t> samples(wave.size());
    for (size_t i = 0; i < wave.size(); ++i) {
        samples[i] = int16_t(std::lround(wave[i] * gain * 32767.0f));
    }
    return samples;
}
}  // namespace

std::vector<int16_t> SynthClick()
{
    std::vector<float> wave(Samples(0.05f));
    Noise noise(1);
    Filter hiss;
    Oscillator tick;
    Oscillator body;
    for (size_t i = 0; i < wave.size(); ++i) {
        const float t = Time(i);
        hiss.Run(noise.Next(), 3500.0f, 0.7f);
        wave[i] = tick.Sine(2300.0f) * Decay(t, 0.004f) +
                  0.7f * body.Sine(820.0f) * Decay(t, 0.012f) + 0.5f * hiss.high * Decay(t, 0.002f);
    }
    return Finish(wave);
}

std::vector<int16_t> SynthHover()
{
    std::vector<float> wave(Samples(0.08f));
    Oscillator blip;
    for (size_t i = 0; i < wave.size(); ++i) {
        const float t = Time(i);
        const float envelope = Attack(t, 0.006f) * Decay(t, 0.025f);
        const float frequency = Glide(t, 660.0f, 1180.0f, 0.04f);
        const float tone = blip.Sine(frequency);
        wave[i] = envelope * (tone + 0.15f * tone * tone * tone);
    }
    return Finish(wave);
}

std::vector<int16_t> SynthJump()
{
    std::vector<float> wave(Samples(0.24f));
    Noise noise(2);
    Filter air;
    Oscillator voice;
    Filter f1;
    Filter f2;
    for (size_t i = 0; i < wave.size(); ++i) {
        const float t = Time(i);
        air.Run(noise.Next(), Glide(t, 450.0f, 2200.0f, 0.18f), 2.0f);
        const float whoosh = air.band * Attack(t, 0.04f) * Decay(t, 0.08f);
        const float pitch = Glide(t, 150.0f, 215.0f, 0.1f);
        const float hup =
            Grunt(&voice, &f1, &f2, pitch, 640.0f, 1150.0f) * Attack(t, 0.01f) * Decay(t, 0.045f);
        wave[i] = 0.9f * whoosh + 0.5f * hup;
    }
    return Finish(wave);
}

std::vector<int16_t> SynthRocketLaunch()
{
    std::vector<float> wave(Samples(0.9f));
    Noise noise(3);
    Filter roar;
    Filter crackle;
    Oscillator thump;
    for (size_t i = 0; i < wave.size(); ++i) {
        const float t = Time(i);
        roar.Run(noise.Next(), Glide(t, 3200.0f, 500.0f, 0.8f), 1.2f);
        const float body = roar.low * Attack(t, 0.03f) * Decay(t, 0.32f);
        const float boom = thump.Sine(Glide(t, 85.0f, 38.0f, 0.18f)) * Decay(t, 0.09f);
        const float pop = noise.Next() > 0.985f ? noise.Next() : 0.0f;
        crackle.Run(pop, 2500.0f, 1.5f);
        wave[i] = body * 1.6f + 0.9f * boom + 0.6f * crackle.band * Decay(t, 0.4f);
    }
    return Finish(wave);
}

std::vector<int16_t> SynthRail()
{
    std::vector<float> wave(Samples(1.2f));
    Noise noise(4);
    Filter crack;
    Oscillator charge;
    Oscillator sub;
    // Inharmonic partials ring like a struck metal bar.
    constexpr float PARTIALS[][3] = {
        {1320.0f, 0.5f, 0.55f},
        {1993.0f, 0.35f, 0.4f},
        {2795.0f, 0.25f, 0.3f},
        {3964.0f, 0.15f, 0.2f},
    };
    Oscillator ring[4];
    constexpr float FIRE = 0.09f;  // the charge builds for this long before the shot
    for (size_t i = 0; i < wave.size(); ++i) {
        const float t = Time(i);
        float v = 0.0f;
        if (t < FIRE) {
            v += 0.35f * charge.Saw(Glide(t, 300.0f, 2600.0f, FIRE)) * (t / FIRE) * (t / FIRE);
        } else {
            const float s = t - FIRE;
            crack.Run(noise.Next(), 2600.0f, 0.8f);
            v += 0.9f * crack.high * Decay(s, 0.012f);
            v += 0.6f * sub.Sine(Glide(s, 180.0f, 70.0f, 0.2f)) * Decay(s, 0.08f);
            const float vibrato = 1.0f + 0.004f * std::sin(2.0f * PI * 6.0f * s);
            for (int32_t p = 0; p < 4; ++p) {
                v += PARTIALS[p][1] * ring[p].Sine(PARTIALS[p][0] * vibrato) *
                     Decay(s, PARTIALS[p][2]);
            }
        }
        wave[i] = v;
    }
    return Finish(wave);
}

std::vector<int16_t> SynthPlasma()
{
    std::vector<float> wave(Samples(0.13f));
    Noise noise(5);
    Filter fizz;
    Oscillator tone;
    for (size_t i = 0; i < wave.size(); ++i) {
        const float t = Time(i);
        const float envelope = Attack(t, 0.003f) * Decay(t, 0.04f);
        const float frequency = Glide(t, 1700.0f, 320.0f, 0.11f);
        const float shaped = std::tanh(2.5f * tone.Sine(frequency));
        fizz.Run(noise.Next(), 3200.0f, 3.0f);
        wave[i] = envelope * (shaped + 0.25f * fizz.band);
    }
    return Finish(wave);
}

std::vector<int16_t> SynthHit()
{
    std::vector<float> wave(Samples(0.28f));
    Noise noise(6);
    Filter smack;
    Oscillator thud;
    Oscillator voice;
    Filter f1;
    Filter f2;
    for (size_t i = 0; i < wave.size(); ++i) {
        const float t = Time(i);
        smack.Run(noise.Next(), 900.0f, 0.8f);
        const float body = thud.Sine(Glide(t, 120.0f, 55.0f, 0.1f)) * Decay(t, 0.07f);
        const float pitch = Glide(t, 135.0f, 95.0f, 0.18f);
        const float grunt =
            Grunt(&voice, &f1, &f2, pitch, 520.0f, 920.0f) * Attack(t, 0.015f) * Decay(t, 0.07f);
        wave[i] = body + 0.8f * smack.low * Decay(t, 0.015f) + 0.45f * grunt;
    }
    return Finish(wave);
}

std::vector<int16_t> SynthExplosion()
{
    std::vector<float> wave(Samples(1.6f));
    Noise noise(7);
    Filter blast;
    Filter rumble;
    Oscillator thump;
    float brown = 0.0f;
    for (size_t i = 0; i < wave.size(); ++i) {
        const float t = Time(i);
        const float white = noise.Next();
        blast.Run(white, Glide(t, 4500.0f, 160.0f, 0.7f), 0.9f);
        brown = brown * 0.995f + white * 0.05f;
        rumble.Run(brown, 90.0f, 1.0f);
        const float boom = thump.Sine(Glide(t, 60.0f, 28.0f, 0.4f)) * Decay(t, 0.25f);
        const float v = 1.2f * blast.low * Attack(t, 0.004f) * Decay(t, 0.35f) +
                        2.5f * rumble.low * Decay(t, 0.6f) + 0.9f * boom;
        wave[i] = std::tanh(1.8f * v);  // saturate a little, like an overdriven blast
    }
    return Finish(wave);
}
