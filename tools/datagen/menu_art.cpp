#include "tools/datagen/menu_art.h"

#include "tools/datagen/glyphs.h"

namespace {
constexpr int32_t SCREEN_W = 800;
constexpr int32_t SCREEN_H = 600;

// A coverage mask as floats, with a blurred copy for glows.
struct Mask {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> value;

    float At(int32_t x, int32_t y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0.0f;
        }
        return value[size_t(y) * size_t(width) + size_t(x)];
    }
};

// The text mask placed with `margin` pixels of room on every side for its glow.
Mask TextMask(const GlyphMask &glyphs, int32_t margin)
{
    Mask mask;
    mask.width = glyphs.width + 2 * margin;
    mask.height = glyphs.height + 2 * margin;
    mask.value.assign(size_t(mask.width) * size_t(mask.height), 0.0f);
    for (int32_t y = 0; y < glyphs.height; ++y) {
        for (int32_t x = 0; x < glyphs.width; ++x) {
            mask.value[size_t(y + margin) * size_t(mask.width) + size_t(x + margin)] =
                float(glyphs.coverage[size_t(y) * size_t(glyphs.width) + size_t(x)]) / 255.0f;
        }
    }
    return mask;
}

// Three box blurs of `radius` in each direction come close to a Gaussian.
Mask Blur(const Mask &source, int32_t radius)
{
    Mask out = source;
    std::vector<float> line;
    for (int32_t pass = 0; pass < 3; ++pass) {
        for (int32_t axis = 0; axis < 2; ++axis) {
            const int32_t count = axis == 0 ? out.width : out.height;
            const int32_t lines = axis == 0 ? out.height : out.width;
            line.resize(size_t(count));
            for (int32_t l = 0; l < lines; ++l) {
                const auto index = [&](int32_t i) {
                    return axis == 0 ? size_t(l) * size_t(out.width) + size_t(i)
                                     : size_t(i) * size_t(out.width) + size_t(l);
                };
                float sum = 0.0f;
                for (int32_t i = -radius; i <= radius; ++i) {
                    sum += i >= 0 && i < count ? out.value[index(i)] : 0.0f;
                }
                for (int32_t i = 0; i < count; ++i) {
                    line[size_t(i)] = sum / float(2 * radius + 1);
                    const int32_t leaving = i - radius;
                    const int32_t entering = i + radius + 1;
                    sum -= leaving >= 0 ? out.value[index(leaving)] : 0.0f;
                    sum += entering < count ? out.value[index(entering)] : 0.0f;
                }
                for (int32_t i = 0; i < count; ++i) {
                    out.value[index(i)] = line[size_t(i)];
                }
            }
        }
    }
    return out;
}

// Grows a mask by `radius` pixels (for outlines).
Mask Dilate(const Mask &source, int32_t radius)
{
    Mask out = source;
    for (int32_t y = 0; y < source.height; ++y) {
        for (int32_t x = 0; x < source.width; ++x) {
            float best = 0.0f;
            for (int32_t dy = -radius; dy <= radius; ++dy) {
                for (int32_t dx = -radius; dx <= radius; ++dx) {
                    if (dx * dx + dy * dy <= radius * radius) {
                        best = std::max(best, source.At(x + dx, y + dy));
                    }
                }
            }
            out.value[size_t(y) * size_t(source.width) + size_t(x)] = best;
        }
    }
    return out;
}

struct TextStyle {
    Color top;
    Color bottom;
    Color outline;
    Color glow;
    int32_t outlineWidth = 2;
    int32_t glowRadius = 8;
    float glowStrength = 1.0f;
    int32_t shadow = 0;  // drop shadow offset in pixels, down and right
};

// Paints text centred on (cx, cy): glow, shadow, outline, then a vertical gradient fill.
void StampText(Image *image, const GlyphMask &glyphs, int32_t cx, int32_t cy,
               const TextStyle &style)
{
    const int32_t margin = style.glowRadius * 3 + style.outlineWidth + style.shadow + 2;
    const Mask fill = TextMask(glyphs, margin);
    const Mask outline = Dilate(fill, style.outlineWidth);
    const Mask glow = Blur(outline, style.glowRadius);
    const int32_t left = cx - fill.width / 2;
    const int32_t top = cy - fill.height / 2;
    // The gradient spans the capitals' height.
    const float inkTop = float(margin);
    const float inkHeight = float(glyphs.top) * 0.95f;
    for (int32_t y = 0; y < fill.height; ++y) {
        for (int32_t x = 0; x < fill.width; ++x) {
            const int32_t ix = left + x;
            const int32_t iy = top + y;
            if (!image->Inside(ix, iy)) {
                continue;
            }
            const float g = glow.At(x, y) * style.glowStrength;
            if (g > 0.0f) {
                image->Blend(ix, iy, style.glow, Clamp01(g));
            }
            if (style.shadow > 0) {
                image->Blend(ix, iy, Rgb8(6, 6, 8),
                             outline.At(x - style.shadow, y - style.shadow) * 0.7f);
            }
            image->Blend(ix, iy, style.outline, outline.At(x, y));
            const float t = Clamp01((float(y) - inkTop) / inkHeight);
            Color c = Mix(style.top, style.bottom, t);
            // A bright band just above the middle gives a metal sheen.
            c = c + Rgb8(60, 50, 30) * std::exp(-std::pow((t - 0.38f) * 9.0f, 2.0f));
            image->Blend(ix, iy, c, fill.At(x, y));
        }
    }
}

void PaintBackdrop(Image *image)
{
    const float horizon = 390.0f;
    for (int32_t y = 0; y < SCREEN_H; ++y) {
        for (int32_t x = 0; x < SCREEN_W; ++x) {
            const float fx = float(x);
            const float fy = float(y);
            Color c;
            if (fy < horizon) {
                // Sky: deep violet above, a red haze glowing low on the horizon.
                const float t = fy / horizon;
                c = Mix(Rgb8(10, 8, 22), Rgb8(34, 16, 44), t);
                c = c + Rgb8(120, 36, 20) * std::pow(t, 6.0f);
                const float cloud = Fbm(fx / 90.0f, fy / 40.0f, 64, 5, 8101);
                c = c + Rgb8(40, 20, 50) * (SmoothStep(0.5f, 0.8f, cloud) * (0.3f + 0.7f * t));
            } else {
                // Arena floor: dark plates with a glowing grid running to the horizon.
                const float depth = (fy - horizon) / (float(SCREEN_H) - horizon);
                const float z = 1.0f / (depth + 0.02f);
                const float u = (fx - 400.0f) / 400.0f * z;
                const float gridX = std::fabs(u * 1.5f - std::round(u * 1.5f));
                const float gridZ = std::fabs(z * 0.6f - std::round(z * 0.6f));
                const float lineWidth = 0.03f * z * 0.3f + 0.015f;
                const float line = std::max(1.0f - SmoothStep(0.0f, lineWidth, gridX),
                                            1.0f - SmoothStep(0.0f, lineWidth * 2.0f, gridZ));
                c = Mix(Rgb8(16, 12, 20), Rgb8(30, 22, 30), depth);
                c = c + Rgb8(200, 70, 30) * (line * Clamp01(depth * 1.5f) * 0.55f);
                c = c + Rgb8(110, 30, 20) * std::pow(1.0f - depth, 8.0f);
            }
            image->Blend(x, y, c, 1.0f);
        }
    }
    // Far arena: towers and a wall against the haze.
    for (int32_t i = 0; i < 9; ++i) {
        const float x0 = float(i) * 100.0f - 20.0f + 40.0f * HashUnit(uint32_t(i), 1, 8102);
        const float width = 26.0f + 30.0f * HashUnit(uint32_t(i), 2, 8102);
        const float height = 40.0f + 110.0f * HashUnit(uint32_t(i), 3, 8102);
        const bool middle = x0 > 150.0f && x0 < 620.0f;
        const float top = horizon - (middle ? height * 0.45f : height);
        for (int32_t y = int32_t(top); y < int32_t(horizon); ++y) {
            for (int32_t x = int32_t(x0); x < int32_t(x0 + width); ++x) {
                if (!image->Inside(x, y)) {
                    continue;
                }
                const bool window = (x - int32_t(x0)) % 8 == 3 && (y - int32_t(top)) % 14 == 6 &&
                                    HashUnit(uint32_t(x), uint32_t(y), 8103) > 0.5f;
                const Color c = window ? Rgb8(200, 120, 50) : Rgb8(20, 14, 24);
                image->Blend(x, y, c, 1.0f);
            }
        }
    }
    for (int32_t y = 360; y < int32_t(horizon); ++y) {
        for (int32_t x = 0; x < SCREEN_W; ++x) {
            const float battlement = (x / 12) % 2 == 0 ? 360.0f : 366.0f;
            if (float(y) >= battlement) {
                image->Blend(x, y, Rgb8(24, 16, 26), 1.0f);
            }
        }
    }
    // Vignette.
    for (int32_t y = 0; y < SCREEN_H; ++y) {
        for (int32_t x = 0; x < SCREEN_W; ++x) {
            const float dx = (float(x) - 400.0f) / 400.0f;
            const float dy = (float(y) - 300.0f) / 300.0f;
            const float k = 1.0f - 0.45f * SmoothStep(0.5f, 1.5f, dx * dx + dy * dy);
            image->At(x, y) = image->At(x, y) * k;
        }
    }
}
}  // namespace

bool PaintMenuBackground(Image *image, std::string *error)
{
    *image = Image(SCREEN_W, SCREEN_H);
    PaintBackdrop(image);
    Typeface bold;
    if (!bold.Open(FONT_SANS_BOLD, error)) {
        return false;
    }
    bold.SetPixelSize(120, 120);
    TextStyle title;
    title.top = Rgb8(255, 240, 190);
    title.bottom = Rgb8(200, 60, 16);
    title.outline = Rgb8(24, 10, 8);
    title.glow = Rgb8(255, 110, 30);
    title.outlineWidth = 4;
    title.glowRadius = 10;
    title.glowStrength = 1.1f;
    title.shadow = 5;
    // The buttons start 170 pixels down: the title stays above them.
    StampText(image, bold.RenderLine("VORN II"), 400, 92, title);
    bold.SetPixelSize(22, 22);
    TextStyle sub;
    sub.top = Rgb8(200, 190, 210);
    sub.bottom = Rgb8(150, 130, 170);
    sub.outline = Rgb8(14, 10, 18);
    sub.glow = Rgb8(90, 40, 120);
    sub.outlineWidth = 1;
    sub.glowRadius = 4;
    sub.glowStrength = 0.6f;
    StampText(image, bold.RenderLine("T W O   P L A Y E R S   \xb7   O N E   A R E N A"), 400, 268,
              sub);
    return true;
}

bool PaintMenuButton(const std::string &word, bool hover, Image *image, std::string *error)
{
    constexpr int32_t W = 256;
    constexpr int32_t H = 96;
    Painter p(W, H);
    const float cx = W / 2.0f;
    const float cy = H / 2.0f;
    const auto plate = [=](float x, float y) {
        return SdBox(x, y, cx, cy, cx - 3.0f, cy - 3.0f, 14.0f);
    };
    const auto inner = [=](float x, float y) {
        return SdBox(x, y, cx, cy, cx - 11.0f, cy - 11.0f, 8.0f);
    };
    // The frame: bevelled steel, lit from above.
    p.Part(
        plate,
        [=](float, float y, float d) {
            const float t = y / float(H);
            const Color steel = Mix(Rgb8(190, 196, 210), Rgb8(70, 74, 86), t);
            return d > -2.0f ? steel * 0.6f : steel;
        },
        2.0f);
    p.Part(
        inner,
        [=](float, float y, float d) {
            const float t = y / float(H);
            Color c = hover ? Mix(Rgb8(120, 60, 20), Rgb8(60, 20, 10), t)
                            : Mix(Rgb8(42, 48, 66), Rgb8(18, 20, 30), t);
            // Fine horizontal scan lines.
            if (int32_t(y) % 4 == 0) {
                c = c * 0.85f;
            }
            // Inner glow along the rim when hovered.
            if (hover) {
                c = c + Rgb8(255, 140, 40) * (0.5f * std::exp(d / 4.0f));
            }
            return c;
        },
        1.5f);
    *image = p.Finish();
    Typeface bold;
    if (!bold.Open(FONT_SANS_BOLD, error)) {
        return false;
    }
    bold.SetPixelSize(52, 52);
    TextStyle style;
    style.top = hover ? Rgb8(255, 255, 220) : Rgb8(235, 238, 245);
    style.bottom = hover ? Rgb8(255, 190, 60) : Rgb8(150, 160, 180);
    style.outline = Rgb8(12, 10, 10);
    style.glow = hover ? Rgb8(255, 170, 60) : Rgb8(20, 24, 36);
    style.outlineWidth = 2;
    style.glowRadius = hover ? 5 : 2;
    style.glowStrength = hover ? 1.0f : 0.0f;
    style.shadow = hover ? 0 : 2;
    // Centre on the capitals, not on the line box with its descender room.
    const GlyphMask text = bold.RenderLine(word);
    const int32_t capsCentre = text.top - 52 * 365 / 1000;  // capitals are 0.73 em high
    StampText(image, text, W / 2, H / 2 + text.height / 2 - capsCentre, style);
    return true;
}

Image PaintMenuCursor()
{
    Painter p(64, 64);
    const Color light = Rgb8(170, 235, 255);
    const auto shape = [](float x, float y) {
        float d = std::fabs(SdCircle(x, y, 32, 32, 15)) - 1.6f;
        for (const float angle : {0.0f, 1.5708f, 3.14159f, 4.71239f}) {
            const float ax = 32.0f + std::cos(angle) * 10.0f;
            const float ay = 32.0f + std::sin(angle) * 10.0f;
            const float bx = 32.0f + std::cos(angle) * 22.0f;
            const float by = 32.0f + std::sin(angle) * 22.0f;
            d = std::min(d, SdCapsule(x, y, ax, ay, bx, by, 1.4f));
        }
        return std::min(d, SdCircle(x, y, 32, 32, 2.2f));
    };
    p.Glow(shape, light * 0.35f, 6.0f);
    p.Part(
        shape, [&](float, float, float) { return light; }, 0.0f);
    Image image = p.Finish();
    // Additive: black shows nothing, so fade by coverage instead of cutting.
    for (size_t i = 0; i < image.colors.size(); ++i) {
        image.colors[i] = image.colors[i] * image.alpha[i];
        image.alpha[i] = 1.0f;
    }
    return image;
}
