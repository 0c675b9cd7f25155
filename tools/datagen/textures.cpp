#include "tools/datagen/textures.h"

#include <functional>

namespace {
constexpr int32_t BRICK_W = 64;
constexpr int32_t BRICK_H = 32;
constexpr float PI = 3.14159265f;

// A rectangular block of a masonry layout, in pixels, edges inclusive-exclusive.
struct Block {
    int32_t x0, y0, x1, y1;
};

// Distance from (x, y) to the nearest edge of the block, and which edge is nearest in the
// light's terms: positive for the lit top and left, negative for the shaded bottom and right.
float EdgeLight(const Block &b, int32_t x, int32_t y, float width)
{
    const float top = float(y - b.y0);
    const float left = float(x - b.x0);
    const float bottom = float(b.y1 - 1 - y);
    const float right = float(b.x1 - 1 - x);
    const float lit = std::min(top, left);
    const float shaded = std::min(bottom, right);
    if (lit < shaded) {
        return lit < width ? 1.0f - lit / width : 0.0f;
    }
    return shaded < width ? -(1.0f - shaded / width) : 0.0f;
}

// Finds the block of `blocks` covering the pixel; blocks wrap around the picture's right edge
// when x1 exceeds the width.
const Block *BlockAt(const std::vector<Block> &blocks, int32_t x, int32_t y, int32_t *localX)
{
    for (const Block &b : blocks) {
        for (const int32_t shift : {0, BRICK_W}) {
            const int32_t sx = x + shift;
            if (sx >= b.x0 && sx < b.x1 && y >= b.y0 && y < b.y1) {
                *localX = sx;
                return &b;
            }
        }
    }
    return nullptr;
}

// Masonry: blocks separated by mortar, each block its own shade, bevelled, with grainy noise.
Image PaintMasonry(const std::vector<Block> &blocks, Color stone, Color mortar, float variation,
                   float grain, uint32_t seed)
{
    Image image(BRICK_W, BRICK_H);
    for (int32_t y = 0; y < BRICK_H; ++y) {
        for (int32_t x = 0; x < BRICK_W; ++x) {
            const float fine = Fbm(float(x) / 4.0f, float(y) / 4.0f, 16, 3, seed);
            const float speck = HashUnit(uint32_t(x), uint32_t(y), seed + 7);
            int32_t localX = 0;
            const Block *block = BlockAt(blocks, x, y, &localX);
            if (block == nullptr) {
                const float shade = 0.8f + 0.3f * fine + 0.1f * speck;
                image.Blend(x, y, mortar * shade, 1.0f);
                continue;
            }
            const size_t id = size_t(block - blocks.data());
            const float tone = 1.0f + variation * (HashUnit(uint32_t(id), 3, seed) - 0.5f) * 2.0f;
            const float blotch = Fbm(float(x) / 9.0f, float(y) / 9.0f, 8, 3, seed + 31);
            float shade = tone * (0.75f + grain * (fine - 0.5f) + 0.45f * (blotch - 0.5f) +
                                  0.12f * (speck - 0.5f) + 0.25f);
            shade *= 1.0f + 0.35f * EdgeLight(*block, localX, y, 2.0f);
            image.Blend(x, y, stone * shade, 1.0f);
        }
    }
    return image;
}

Image PaintClayBrick()
{
    // Running bond: two courses, joints of the lower course halfway between the upper ones.
    const std::vector<Block> blocks = {
        {1, 1, 31, 15}, {33, 1, 63, 15}, {-15, 17, 15, 31}, {17, 17, 47, 31}, {49, 17, 79, 31},
    };
    Image image = PaintMasonry(blocks, Rgb8(168, 64, 44), Rgb8(150, 140, 122), 0.12f, 0.35f, 11);
    // Soot from firing darkens one end of some bricks.
    for (int32_t y = 0; y < BRICK_H; ++y) {
        for (int32_t x = 0; x < BRICK_W; ++x) {
            const float burn = Fbm(float(x) / 6.0f, float(y) / 3.0f, 8, 2, 77);
            if (burn > 0.62f && image.At(x, y).r > image.At(x, y).b * 1.8f) {
                image.At(x, y) = image.At(x, y) * (1.0f - (burn - 0.62f) * 1.6f);
            }
        }
    }
    return image;
}

Image PaintGreyStone()
{
    const std::vector<Block> blocks = {
        {1, 1, 22, 14}, {24, 1, 63, 14}, {-4, 16, 20, 31}, {22, 16, 42, 31}, {44, 16, 60, 31},
    };
    return PaintMasonry(blocks, Rgb8(128, 128, 134), Rgb8(52, 50, 54), 0.1f, 0.55f, 23);
}

Image PaintMossyStone()
{
    const std::vector<Block> blocks = {
        {1, 1, 28, 12}, {30, 1, 63, 12}, {-10, 14, 14, 31}, {16, 14, 38, 31}, {40, 14, 54, 31},
    };
    Image image = PaintMasonry(blocks, Rgb8(112, 118, 108), Rgb8(46, 52, 40), 0.1f, 0.5f, 41);
    // Moss grows thickest on top and creeps down the joints.
    for (int32_t y = 0; y < BRICK_H; ++y) {
        for (int32_t x = 0; x < BRICK_W; ++x) {
            const float patch = Fbm(float(x) / 7.0f, float(y) / 5.0f, 8, 4, 97);
            const float amount = patch + 0.35f * (1.0f - float(y) / float(BRICK_H)) - 0.68f;
            if (amount <= 0.0f) {
                continue;
            }
            const float speck = HashUnit(uint32_t(x), uint32_t(y), 98);
            const Color moss =
                Mix(Rgb8(52, 92, 30), Rgb8(118, 160, 58), speck * 0.7f + patch * 0.3f);
            image.Blend(x, y, moss, SmoothStep(0.0f, 0.12f, amount));
        }
    }
    return image;
}

Image PaintMetalPlate()
{
    Image image(BRICK_W, BRICK_H);
    const Block plate = {0, 0, BRICK_W, BRICK_H};
    for (int32_t y = 0; y < BRICK_H; ++y) {
        for (int32_t x = 0; x < BRICK_W; ++x) {
            // Brushed: noise stretched along x.
            const float brush = Fbm(float(x) / 24.0f, float(y) / 1.5f, 8, 3, 5);
            const float grime = Fbm(float(x) / 10.0f, float(y) / 10.0f, 8, 3, 6);
            float shade = 0.78f + 0.25f * (brush - 0.5f) - 0.3f * std::max(0.0f, grime - 0.55f) +
                          0.12f * (1.0f - float(y) / float(BRICK_H));
            shade *= 1.0f + 0.45f * EdgeLight(plate, x, y, 3.0f);
            // A seam splits the plate in two panels.
            if (x == 31) {
                shade *= 0.55f;
            } else if (x == 32) {
                shade *= 1.25f;
            }
            image.Blend(x, y, Rgb8(128, 138, 150) * shade, 1.0f);
        }
    }
    const float rivets[][2] = {{5.5f, 5.5f},  {26, 5.5f},  {38, 5.5f},  {58.5f, 5.5f},
                               {5.5f, 26.5f}, {26, 26.5f}, {38, 26.5f}, {58.5f, 26.5f}};
    for (const auto &r : rivets) {
        const float cx = r[0];
        const float cy = r[1];
        FillShape(
            &image,
            [=](float px, float py) { return SdCircle(px, py, cx + 0.5f, cy + 0.8f, 2.6f); },
            [](float, float, float) { return Rgb8(40, 44, 50); });
        FillShape(
            &image, [=](float px, float py) { return SdCircle(px, py, cx, cy, 2.3f); },
            [=](float px, float py, float) {
                const float lx = (px - cx) / 2.3f;
                const float ly = (py - cy) / 2.3f;
                const float light = Clamp01(0.6f - 0.5f * lx - 0.6f * ly);
                return Mix(Rgb8(70, 76, 86), Rgb8(225, 232, 240), light);
            });
    }
    return image;
}

Image PaintWoodPlanks()
{
    Image image(BRICK_W, BRICK_H);
    constexpr int32_t TOPS[] = {0, 11, 21, 32};
    constexpr int32_t SEAMS[] = {44, 18, 52};  // where each plank butts against the next one
    for (int32_t plank = 0; plank < 3; ++plank) {
        const Block bounds = {0, TOPS[plank], BRICK_W, TOPS[plank + 1]};
        const float tone = 0.9f + 0.2f * HashUnit(uint32_t(plank), 1, 55);
        for (int32_t y = bounds.y0; y < bounds.y1; ++y) {
            for (int32_t x = 0; x < BRICK_W; ++x) {
                if (y == bounds.y1 - 1 || x == SEAMS[plank]) {
                    image.Blend(x, y, Rgb8(38, 22, 12), 1.0f);
                    continue;
                }
                const uint32_t board = uint32_t(plank * 2 + (x > SEAMS[plank] ? 1 : 0));
                const float warp = 3.0f * Fbm(float(x) / 16.0f, float(y) / 4.0f, 4, 3, 60 + board);
                const float rings = std::sin((float(y) + warp) * 2.1f + float(board) * 1.7f);
                const float streak = Fbm(float(x) / 12.0f, float(y) / 1.2f, 8, 3, 70 + board);
                float shade = tone * (0.82f + 0.1f * rings + 0.3f * (streak - 0.5f));
                Block piece = bounds;
                piece.y1 -= 1;
                if (x < SEAMS[plank]) {
                    piece.x1 = SEAMS[plank];
                } else {
                    piece.x0 = SEAMS[plank] + 1;
                }
                shade *= 1.0f + 0.3f * EdgeLight(piece, x, y, 1.5f);
                const Color wood =
                    Mix(Rgb8(118, 70, 34), Rgb8(176, 118, 62), Clamp01(shade - 0.4f));
                image.Blend(x, y, wood * Clamp01(shade + 0.2f), 1.0f);
            }
        }
        // Nails at the butt joint.
        for (const int32_t nx : {SEAMS[plank] - 3, SEAMS[plank] + 3}) {
            const float cy = float(bounds.y0 + bounds.y1 - 1) * 0.5f;
            FillShape(
                &image,
                [=](float px, float py) { return SdCircle(px, py, float(nx) + 0.5f, cy, 1.2f); },
                [](float, float, float) { return Rgb8(70, 66, 62); });
        }
    }
    return image;
}

Image PaintCrystal()
{
    Image image(BRICK_W, BRICK_H);
    // Facets are Voronoi cells of jittered points; each facet tilts its own way to the light.
    float seeds[12][2];
    for (uint32_t i = 0; i < 12; ++i) {
        seeds[i][0] = (float(i % 6) + 0.2f + 0.6f * HashUnit(i, 0, 310)) * BRICK_W / 6.0f;
        seeds[i][1] = (float(i / 6) + 0.15f + 0.7f * HashUnit(i, 1, 310)) * BRICK_H / 2.0f;
    }
    const Block body = {0, 0, BRICK_W, BRICK_H};
    for (int32_t y = 0; y < BRICK_H; ++y) {
        for (int32_t x = 0; x < BRICK_W; ++x) {
            const float px = float(x) + 0.5f;
            const float py = float(y) + 0.5f;
            float nearest = 1e9f;
            float second = 1e9f;
            uint32_t facet = 0;
            for (uint32_t i = 0; i < 12; ++i) {
                const float d = std::hypot(px - seeds[i][0], py - seeds[i][1]);
                if (d < nearest) {
                    second = nearest;
                    nearest = d;
                    facet = i;
                } else if (d < second) {
                    second = d;
                }
            }
            const float tilt = HashUnit(facet, 2, 311);
            const float gradient = (px - seeds[facet][0]) * 0.02f - (py - seeds[facet][1]) * 0.03f;
            const float light = Clamp01(0.25f + 0.55f * tilt + gradient);
            Color c = Mix(Rgb8(24, 62, 150), Rgb8(150, 210, 255), light);
            // Bright edges where facets meet.
            const float edge = 1.0f - SmoothStep(0.0f, 1.6f, second - nearest);
            c = Mix(c, Rgb8(215, 240, 255), edge * 0.8f);
            c = c * (1.0f + 0.3f * EdgeLight(body, x, y, 2.0f));
            if (EdgeLight(body, x, y, 1.0f) < -0.5f) {
                c = Rgb8(16, 36, 90);
            }
            image.Blend(x, y, c, 1.0f);
        }
    }
    // Glints.
    const int32_t glints[][2] = {{12, 7}, {45, 20}, {29, 11}};
    for (const auto &g : glints) {
        for (int32_t d = -2; d <= 2; ++d) {
            const float k = d == 0 ? 1.0f : 0.55f / float(std::abs(d));
            image.Blend(g[0] + d, g[1], Rgb8(255, 255, 255), k);
            image.Blend(g[0], g[1] + d, Rgb8(255, 255, 255), k);
        }
    }
    return image;
}

Image PaintRustyGrate()
{
    constexpr int32_t FACTOR = 4;
    Image big(BRICK_W * FACTOR, BRICK_H * FACTOR);
    const float f = float(FACTOR);
    const auto rust = [f](float px, float py, float light) {
        const float x = px / f;
        const float y = py / f;
        const float patch = Fbm(x / 6.0f, y / 6.0f, 16, 4, 901);
        const float speck = HashUnit(uint32_t(x), uint32_t(y), 902);
        Color c = Mix(Rgb8(96, 46, 22), Rgb8(178, 92, 38), Clamp01(patch * 1.4f - 0.2f));
        c = Mix(c, Rgb8(62, 40, 30), SmoothStep(0.6f, 0.75f, patch) * 0.8f);
        c = c * (0.85f + 0.3f * speck);
        return c * Clamp01(light);
    };
    // Diagonal bars first, the frame over them.
    for (int32_t i = -2; i < 8; ++i) {
        for (const float dir : {1.0f, -1.0f}) {
            const float x0 = float(i) * 16.0f * f;
            const float ax = x0;
            const float ay = 0.0f;
            const float bx = x0 + dir * 32.0f * f;
            const float by = 32.0f * f;
            const float radius = 1.8f * f;
            FillShape(
                &big, [=](float px, float py) { return SdCapsule(px, py, ax, ay, bx, by, radius); },
                [=](float px, float py, float d) {
                    // Round bars: lit along their upper side.
                    return rust(px, py, 0.55f + 0.6f * (-d / radius) * (dir > 0 ? 1.0f : 0.8f));
                });
        }
    }
    const float border = 3.5f * f;
    const float w = float(BRICK_W) * f;
    const float h = float(BRICK_H) * f;
    FillShape(
        &big,
        [=](float px, float py) {
            const float outer = SdBox(px, py, w / 2, h / 2, w / 2, h / 2, 0.0f);
            const float inner = SdBox(px, py, w / 2, h / 2, w / 2 - border, h / 2 - border, 0.0f);
            return std::max(outer, -inner);
        },
        [=](float px, float py, float) {
            const float top = py / f;
            const float left = px / f;
            const float bottom = float(BRICK_H) - top;
            const float right = float(BRICK_W) - left;
            float light = 1.0f;
            if (std::min(top, left) < std::min(bottom, right)) {
                light = std::min(top, left) < 1.0f ? 1.35f : 1.05f;
            } else {
                light = std::min(bottom, right) < 1.0f ? 0.55f : 0.85f;
            }
            return rust(px, py, light);
        });
    // Bolts at the corners.
    for (const float cx : {2.0f, 62.0f}) {
        for (const float cy : {2.0f, 30.0f}) {
            FillShape(
                &big,
                [=](float px, float py) { return SdCircle(px, py, cx * f, cy * f, 1.3f * f); },
                [](float, float, float) { return Rgb8(70, 52, 40); });
        }
    }
    return Downsample(big, FACTOR);
}
}  // namespace

Image PaintBrick(int32_t kind)
{
    switch (kind) {
    case 1:
        return PaintClayBrick();
    case 2:
        return PaintGreyStone();
    case 3:
        return PaintMossyStone();
    case 4:
        return PaintMetalPlate();
    case 5:
        return PaintWoodPlanks();
    case 6:
        return PaintCrystal();
    default:
        return PaintRustyGrate();
    }
}

Image PaintRespawn()
{
    constexpr int32_t FACTOR = 4;
    const float f = float(FACTOR);
    Image big(BRICK_W * FACTOR, BRICK_H * FACTOR);
    const float cx = 32.0f * f;
    // The pad: a flat elliptical disc seen from the side, metal rim, glowing top.
    const auto ellipse = [](float px, float py, float ex, float ey, float rx, float ry) {
        const float nx = (px - ex) / rx;
        const float ny = (py - ey) / ry;
        return (std::sqrt(nx * nx + ny * ny) - 1.0f) * std::min(rx, ry);
    };
    FillShape(
        &big,
        [=](float px, float py) { return ellipse(px, py, cx, 26.0f * f, 29.0f * f, 5.5f * f); },
        [=](float px, float, float) {
            const float side = std::fabs(px - cx) / (29.0f * f);
            return Mix(Rgb8(110, 120, 130), Rgb8(40, 46, 54), side);
        });
    FillShape(
        &big,
        [=](float px, float py) { return ellipse(px, py, cx, 24.5f * f, 26.0f * f, 4.0f * f); },
        [=](float px, float py, float) {
            const float r = std::hypot((px - cx) / (26.0f * f), (py - 24.5f * f) / (4.0f * f));
            const float ring = 0.5f + 0.5f * std::cos(r * 3.0f * 2.0f * PI);
            return Mix(Rgb8(60, 200, 70), Rgb8(230, 255, 140), Clamp01(1.0f - r + 0.35f * ring));
        });
    // The arrow, rising from the pad.
    const auto arrow = [=](float px, float py) {
        const float stem = SdBox(px, py, cx, 14.0f * f, 3.5f * f, 7.0f * f, 0.0f);
        // Head: a triangle with its tip at the top.
        const float tipY = 1.5f * f;
        const float baseY = 10.0f * f;
        const float halfWidth = 10.0f * f;
        const float t = (py - tipY) / (baseY - tipY);
        const float across = std::fabs(px - cx) - halfWidth * Clamp01(t);
        const float head = std::max({across * 0.7f, tipY - py, py - baseY});
        return std::min(stem, head);
    };
    FillShape(
        &big, [=](float px, float py) { return arrow(px, py) - 1.2f * f; },
        [](float, float, float) { return Rgb8(20, 70, 20); });
    FillShape(&big, arrow, [=](float, float py, float) {
        return Mix(Rgb8(255, 250, 150), Rgb8(120, 230, 60), Clamp01(py / (21.0f * f)));
    });
    return Downsample(big, FACTOR);
}

Image PaintBackground()
{
    constexpr int32_t SIZE = 128;
    constexpr int32_t PANEL = 64;
    Image image(SIZE, SIZE);
    for (int32_t y = 0; y < SIZE; ++y) {
        for (int32_t x = 0; x < SIZE; ++x) {
            const int32_t panel = (y / PANEL) * 2 + x / PANEL;
            const int32_t lx = x % PANEL;
            const int32_t ly = y % PANEL;
            const float grime = Fbm(float(x) / 16.0f, float(y) / 16.0f, 8, 4, 1234);
            const float fine = HashUnit(uint32_t(x), uint32_t(y), 1235);
            float shade = 0.85f + 0.3f * (grime - 0.5f) + 0.06f * (fine - 0.5f);
            // Bevelled panel edges with a dark gap between panels.
            const Block block = {1, 1, PANEL - 1, PANEL - 1};
            if (lx == 0 || ly == 0 || lx == PANEL - 1 || ly == PANEL - 1) {
                shade = 0.6f;
            } else {
                shade *= 1.0f + 0.22f * EdgeLight(block, lx, ly, 3.0f);
            }
            // Each panel has its own detail.
            if (panel == 0 && lx >= 12 && lx < 52 && ly >= 14 && ly < 50 && (ly - 14) % 6 < 3) {
                shade *= (ly - 14) % 6 == 0 ? 0.72f : 0.82f;  // vent slots
            }
            if (panel == 3 && lx >= 10 && lx < 54 && ly >= 10 && ly < 54) {
                const Block inset = {10, 10, 54, 54};
                shade *= 1.0f - 0.18f * EdgeLight(inset, lx, ly, 2.0f);  // a recessed hatch
                if ((lx + ly) % 8 < 1) {
                    shade *= 0.9f;
                }
            }
            if (panel == 1 && ly >= 28 && ly < 36) {
                shade *= ly == 28 ? 1.12f : ly == 35 ? 0.78f : 0.92f;  // a horizontal pipe channel
            }
            if (panel == 2 && (lx == 20 || lx == 44) && ly > 6 && ly < 58) {
                shade *= 0.8f;  // seams
            }
            const Color steel = Mix(Rgb8(46, 51, 62), Rgb8(53, 55, 60), grime);
            image.Blend(x, y, steel * shade, 1.0f);
        }
    }
    // Rivets in the panel corners.
    for (int32_t py = 0; py < 2; ++py) {
        for (int32_t px = 0; px < 2; ++px) {
            for (const int32_t ox : {5, PANEL - 6}) {
                for (const int32_t oy : {5, PANEL - 6}) {
                    const int32_t x = px * PANEL + ox;
                    const int32_t y = py * PANEL + oy;
                    image.At(x, y) = image.At(x, y) * 1.35f;
                    image.At(x + 1, y + 1) = image.At(x + 1, y + 1) * 0.65f;
                }
            }
        }
    }
    // Faint amber status lights, one panel only, so the repeat is not too busy.
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t x = 64 + 10 + i * 5;
        const int32_t y = 64 + 56;
        image.At(x, y) = Rgb8(150, 110, 40);
        image.At(x + 1, y) = Rgb8(110, 80, 34);
    }
    return image;
}

Image PaintConsole()
{
    constexpr int32_t SIZE = 256;
    Image image(SIZE, SIZE);
    for (int32_t y = 0; y < SIZE; ++y) {
        for (int32_t x = 0; x < SIZE; ++x) {
            // Domain-warped noise, periodic over the picture so the repeat has no seam.
            const float u = float(x) / 64.0f;
            const float v = float(y) / 64.0f;
            const float wx = Fbm(u, v, 4, 4, 501);
            const float wy = Fbm(u + 1.7f, v + 3.1f, 4, 4, 502);
            const float smoke = Fbm(u + 2.5f * wx, v + 2.5f * wy, 4, 5, 503);
            const float veins = Fbm(u * 2.0f + wy, v * 2.0f + wx, 8, 4, 504);
            Color c = Mix(Rgb8(8, 8, 26), Rgb8(46, 22, 78), SmoothStep(0.3f, 0.75f, smoke));
            c = Mix(c, Rgb8(34, 46, 104), SmoothStep(0.55f, 0.8f, veins) * 0.7f);
            c = c + Rgb8(20, 14, 36) * std::pow(Clamp01(smoke * wx * 1.6f), 3.0f);
            image.Blend(x, y, c, 1.0f);
        }
    }
    return image;
}

Image PaintCrosshair(int32_t design)
{
    constexpr int32_t FACTOR = 4;
    constexpr float C = 16.0f * FACTOR;  // centre
    const float f = float(FACTOR);
    Image big(32 * FACTOR, 32 * FACTOR);
    // clang-format off
    const Color colors[CROSSHAIR_COUNT] = {
        Rgb8(200, 255, 200), Rgb8(255, 255, 255), Rgb8(255, 240, 140), Rgb8(150, 240, 255),
        Rgb8(255, 180, 220), Rgb8(180, 255, 120), Rgb8(255, 210, 150), Rgb8(200, 220, 255),
        Rgb8(255, 255, 190), Rgb8(160, 255, 230),
    };
    // clang-format on
    const Color color = colors[design];
    const float thin = 1.0f * f;
    std::vector<std::function<float(float, float)>> parts;
    const auto line = [&](float ax, float ay, float bx, float by, float r) {
        parts.push_back([=](float px, float py) {
            return SdCapsule(px, py, C + ax * f, C + ay * f, C + bx * f, C + by * f, r);
        });
    };
    const auto ring = [&](float r, float width) {
        parts.push_back(
            [=](float px, float py) { return std::fabs(SdCircle(px, py, C, C, r * f)) - width; });
    };
    const auto dot = [&](float x, float y, float r) {
        parts.push_back(
            [=](float px, float py) { return SdCircle(px, py, C + x * f, C + y * f, r * f); });
    };
    switch (design) {
    case 0:  // cross with a gap and a centre dot
        line(-13, 0, -5, 0, thin);
        line(5, 0, 13, 0, thin);
        line(0, -13, 0, -5, thin);
        line(0, 5, 0, 13, thin);
        dot(0, 0, 1.5f);
        break;
    case 1:  // ring and dot
        ring(10, thin * 0.9f);
        dot(0, 0, 1.8f);
        break;
    case 2:  // corner brackets
        for (const float sx : {-1.0f, 1.0f}) {
            for (const float sy : {-1.0f, 1.0f}) {
                line(sx * 11, sy * 11, sx * 5, sy * 11, thin);
                line(sx * 11, sy * 11, sx * 11, sy * 5, thin);
            }
        }
        dot(0, 0, 1.2f);
        break;
    case 3:  // diagonal cross
        for (const float sx : {-1.0f, 1.0f}) {
            for (const float sy : {-1.0f, 1.0f}) {
                line(sx * 10, sy * 10, sx * 4, sy * 4, thin);
            }
        }
        break;
    case 4:  // ring with four ticks pointing in
        ring(11, thin * 0.7f);
        line(-14, 0, -7, 0, thin);
        line(7, 0, 14, 0, thin);
        line(0, -14, 0, -7, thin);
        line(0, 7, 0, 14, thin);
        break;
    case 5:  // chevron under a dot
        line(-8, 8, 0, 1, thin);
        line(8, 8, 0, 1, thin);
        dot(0, -4, 1.6f);
        break;
    case 6:  // diamond
        line(0, -11, 11, 0, thin);
        line(11, 0, 0, 11, thin);
        line(0, 11, -11, 0, thin);
        line(-11, 0, 0, -11, thin);
        dot(0, 0, 1.2f);
        break;
    case 7:  // scope: ring with a full cross
        ring(12, thin * 0.7f);
        line(-15, 0, 15, 0, thin * 0.6f);
        line(0, -15, 0, 15, thin * 0.6f);
        break;
    case 8:  // three dots
        dot(0, -7, 2.0f);
        dot(-6.5f, 5, 2.0f);
        dot(6.5f, 5, 2.0f);
        dot(0, 0, 1.0f);
        break;
    default:  // square with a dot
        line(-9, -9, 9, -9, thin);
        line(9, -9, 9, 9, thin);
        line(9, 9, -9, 9, thin);
        line(-9, 9, -9, -9, thin);
        dot(0, 0, 1.6f);
        break;
    }
    const auto shape = [&](float px, float py) {
        float d = 1e9f;
        for (const auto &part : parts) {
            d = std::min(d, part(px, py));
        }
        return d;
    };
    AddGlow(&big, shape, color * 0.18f, 3.0f * f);
    FillShape(&big, shape, [&](float, float, float) { return color; });
    Image small = Downsample(big, FACTOR);
    // Additive drawing: light fades into black rather than into a coloured edge.
    for (size_t i = 0; i < small.colors.size(); ++i) {
        small.colors[i] = small.colors[i] * small.alpha[i];
        small.alpha[i] = 1.0f;
    }
    return small;
}
