#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Colours are floats, 0 to 1 per channel.
struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

inline Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Color operator-(Color a, Color b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Color operator*(Color a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Color operator*(Color a, Color b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Color Mix(Color a, Color b, float t) { return a + (b - a) * t; }
inline Color Rgb8(int r, int g, int b)
{
    return {float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f};
}
inline float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
inline float SmoothStep(float edge0, float edge1, float x)
{
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// A picture being painted: colour plus coverage per pixel, rows top to bottom. Coverage 0 is
// "nothing here", which colour-keyed files store as pure black.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Color> colors;
    std::vector<float> alpha;

    Image() = default;
    Image(int32_t w, int32_t h)
        : width(w), height(h), colors(size_t(w) * size_t(h)), alpha(size_t(w) * size_t(h), 0.0f)
    {
    }

    bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Color &At(int32_t x, int32_t y) { return colors[size_t(y) * size_t(width) + size_t(x)]; }
    const Color &At(int32_t x, int32_t y) const
    {
        return colors[size_t(y) * size_t(width) + size_t(x)];
    }
    float &AlphaAt(int32_t x, int32_t y) { return alpha[size_t(y) * size_t(width) + size_t(x)]; }
    float AlphaAt(int32_t x, int32_t y) const
    {
        return alpha[size_t(y) * size_t(width) + size_t(x)];
    }

    // Paints `c` over the pixel with opacity `a`.
    void Blend(int32_t x, int32_t y, Color c, float a)
    {
        if (!Inside(x, y) || a <= 0.0f) {
            return;
        }
        a = std::min(a, 1.0f);
        Color &dst = At(x, y);
        dst = Mix(dst, c, a);
        float &da = AlphaAt(x, y);
        da = a + da * (1.0f - a);
    }
    // Adds light: for glows on opaque pictures and additive sprites.
    void Add(int32_t x, int32_t y, Color c)
    {
        if (!Inside(x, y)) {
            return;
        }
        At(x, y) = At(x, y) + c;
        AlphaAt(x, y) = 1.0f;
    }
    void Fill(Color c)
    {
        std::fill(colors.begin(), colors.end(), c);
        std::fill(alpha.begin(), alpha.end(), 1.0f);
    }
};

// Pixel bytes R, G, B, rows top to bottom. With `colourKeyed`, pixels of coverage below one half
// become (0,0,0) and every other pixel is kept away from it, so the game's key cuts exactly the
// empty parts; without it coverage is ignored.
std::vector<uint8_t> ImageBytes(const Image &image, bool colourKeyed);

// Shrinks a picture painted at `factor` times the size, averaging colour by coverage.
Image Downsample(const Image &big, int32_t factor);

// Deterministic noise. Lattice value noise repeating every `period` lattice steps in x and y
// (so a picture whose size is a multiple of the period in pixels tiles), and its fractal sum.
uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed);
float HashUnit(uint32_t x, uint32_t y, uint32_t seed);  // 0..1
float ValueNoise(float x, float y, int32_t period, uint32_t seed);
float Fbm(float x, float y, int32_t period, int32_t octaves, uint32_t seed);

// Signed distances (negative inside) for shapes in pixel units.
float SdCircle(float px, float py, float cx, float cy, float r);
float SdBox(float px, float py, float cx, float cy, float hw, float hh, float radius);
float SdCapsule(float px, float py, float ax, float ay, float bx, float by, float r);
float SdCapsule2(float px, float py, float ax, float ay, float bx, float by, float ra, float rb);

// Paints a shape given by `distance(x, y)` with `shade(x, y, d)` over the pixels of the box
// [x0, x1) x [y0, y1), sampled at pixel centres with a one-pixel soft edge.
template <typename Distance, typename Shade>
void FillShape(Image *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Distance distance,
               Shade shade)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image->width);
    y1 = std::min(y1, image->height);
    for (int32_t y = y0; y < y1; ++y) {
        for (int32_t x = x0; x < x1; ++x) {
            const float px = float(x) + 0.5f;
            const float py = float(y) + 0.5f;
            const float d = distance(px, py);
            const float cover = Clamp01(0.5f - d);
            if (cover > 0.0f) {
                image->Blend(x, y, shade(px, py, d), cover);
            }
        }
    }
}

// Paints a shape over the whole picture.
template <typename Distance, typename Shade>
void FillShape(Image *image, Distance distance, Shade shade)
{
    FillShape(image, 0, 0, image->width, image->height, distance, shade);
}

// Adds a soft glow of `c` falling off with distance `d` outside a shape: c x (1 - d / radius)^2.
template <typename Distance> void AddGlow(Image *image, Distance distance, Color c, float radius)
{
    for (int32_t y = 0; y < image->height; ++y) {
        for (int32_t x = 0; x < image->width; ++x) {
            const float d = std::max(0.0f, distance(float(x) + 0.5f, float(y) + 0.5f));
            const float k = 1.0f - d / radius;
            if (k > 0.0f) {
                image->Add(x, y, c * (k * k));
            }
        }
    }
}

// Sprites are painted at four times their size and averaged down, for smooth edges and shading.
constexpr int32_t PAINT_FACTOR = 4;
constexpr float PAINT_SCALE = float(PAINT_FACTOR);
constexpr Color PAINT_OUTLINE = {  // dark, yet not the colour key's pure black
    10.0f / 255.0f, 10.0f / 255.0f, 12.0f / 255.0f};

// A painter in the small picture's pixel units over a big canvas.
struct Painter {
    Image big;
    Painter(int32_t w, int32_t h) : big(w * PAINT_FACTOR, h * PAINT_FACTOR) {}

    // Paints a shape (distance in small pixels) with a dark outline of `outline` pixels.
    template <typename Distance, typename Shade>
    void Part(Distance distance, Shade shade, float outline = 1.0f)
    {
        const auto scaled = [&](float px, float py) {
            return distance(px / PAINT_SCALE, py / PAINT_SCALE) * PAINT_SCALE;
        };
        if (outline > 0.0f) {
            FillShape(
                &big, [&](float px, float py) { return scaled(px, py) - outline * PAINT_SCALE; },
                [](float, float, float) { return PAINT_OUTLINE; });
        }
        FillShape(&big, scaled, [&](float px, float py, float d) {
            return shade(px / PAINT_SCALE, py / PAINT_SCALE, d / PAINT_SCALE);
        });
    }

    // Adds glow of `c` around a shape, `radius` small pixels wide.
    template <typename Distance> void Glow(Distance distance, Color c, float radius)
    {
        for (int32_t y = 0; y < big.height; ++y) {
            for (int32_t x = 0; x < big.width; ++x) {
                const float d = std::max(0.0f, distance((float(x) + 0.5f) / PAINT_SCALE,
                                                        (float(y) + 0.5f) / PAINT_SCALE));
                const float k = 1.0f - d / radius;
                if (k > 0.0f) {
                    big.Blend(x, y, c, k * k);
                }
            }
        }
    }

    Image Finish() const { return Downsample(big, PAINT_FACTOR); }
};
