#include "tools/datagen/icons.h"

#include "tools/datagen/textures.h"

namespace {
constexpr int32_t FACTOR = 4;  // painted large and shrunk, for smooth edges

// Copies `picture` scaled by `scale` (nearest pixel) to (x, y) of `image`, keeping its coverage.
void Place(Image *image, const Image &picture, float x, float y, float scale)
{
    const int32_t width = int32_t(float(picture.width) * scale);
    const int32_t height = int32_t(float(picture.height) * scale);
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < width; ++column) {
            const int32_t sx = std::min(picture.width - 1, int32_t(float(column) / scale));
            const int32_t sy = std::min(picture.height - 1, int32_t(float(row) / scale));
            image->Blend(int32_t(x) + column, int32_t(y) + row, picture.At(sx, sy),
                         picture.AlphaAt(sx, sy));
        }
    }
}

// Keeps only what lies on the rounded plate, and rims it.
void CutPlate(Image *image, Color rim)
{
    const float half = float(image->width) / 2.0f;
    const float radius = float(image->width) * 0.16f;
    const float rimWidth = float(image->width) * 0.03f;
    for (int32_t y = 0; y < image->height; ++y) {
        for (int32_t x = 0; x < image->width; ++x) {
            const float d = SdBox(float(x) + 0.5f, float(y) + 0.5f, half, half, half - 2.0f,
                                  half - 2.0f, radius);
            image->AlphaAt(x, y) *= Clamp01(0.5f - d / FACTOR);
            if (d > -rimWidth) {
                image->At(x, y) = Mix(image->At(x, y), rim, 0.8f);
            }
        }
    }
}

void PaintCrosshairRing(Image *image, float cx, float cy, float radius)
{
    const Color red = Rgb8(235, 40, 30);
    const float thickness = radius * 0.16f;
    FillShape(
        image,
        [&](float px, float py) {
            const float ring = std::abs(SdCircle(px, py, cx, cy, radius)) - thickness / 2.0f;
            float ticks = 1e9f;
            for (const float angle : {0.0f, 1.5707964f, 3.1415927f, 4.712389f}) {
                const float dx = std::cos(angle);
                const float dy = std::sin(angle);
                ticks =
                    std::min(ticks, SdCapsule(px, py, cx + dx * radius * 0.45f,
                                              cy + dy * radius * 0.45f, cx + dx * radius * 1.35f,
                                              cy + dy * radius * 1.35f, thickness / 2.0f));
            }
            return std::min(ring, ticks);
        },
        [&](float, float, float) { return red; });
    FillShape(
        image, [&](float px, float py) { return SdCircle(px, py, cx, cy, thickness * 0.7f); },
        [&](float, float, float) { return Rgb8(255, 220, 120); });
}
}  // namespace

Image PaintGameIcon(int32_t size)
{
    const int32_t big = size * FACTOR;
    Image image(big, big);
    const Image wall = PaintBackground();
    for (int32_t y = 0; y < big; y += wall.height * 2) {
        for (int32_t x = 0; x < big; x += wall.width * 2) {
            Place(&image, wall, float(x), float(y), 2.0f);
        }
    }
    const Image brick = PaintBrick(1);
    const float brickScale = float(big) / 2.0f / float(brick.width);
    const float brickTop = float(big) * 0.72f;
    for (int32_t i = 0; i < 2; ++i) {
        Place(&image, brick, float(i) * float(big) / 2.0f, brickTop, brickScale);
    }
    PaintCrosshairRing(&image, float(big) * 0.5f, float(big) * 0.42f, float(big) * 0.24f);
    CutPlate(&image, Rgb8(150, 160, 175));
    return Downsample(image, FACTOR);
}

Image PaintEditorIcon(int32_t size)
{
    const int32_t big = size * FACTOR;
    Image image(big, big);
    image.Fill(Rgb8(18, 26, 48));
    constexpr int32_t COLUMNS = 4;
    const float cellWidth = float(big) / COLUMNS;
    const float cellHeight = cellWidth / 2.0f;
    const int32_t rows = int32_t(float(big) / cellHeight);
    // A stair of bricks of three kinds, laid from the bottom up.
    const struct {
        int32_t column, row, kind;
    } laid[] = {{0, rows - 1, 1}, {1, rows - 1, 1}, {2, rows - 1, 2}, {3, rows - 1, 2},
                {1, rows - 2, 5}, {2, rows - 2, 5}, {3, rows - 2, 2}, {2, rows - 3, 4},
                {3, rows - 3, 4}, {3, rows - 4, 6}};
    for (const auto &cell : laid) {
        const Image brick = PaintBrick(cell.kind);
        Place(&image, brick, float(cell.column) * cellWidth, float(cell.row) * cellHeight,
              cellWidth / float(brick.width));
    }
    const Color grid = Rgb8(70, 110, 190);
    for (int32_t y = 0; y < big; ++y) {
        for (int32_t x = 0; x < big; ++x) {
            const bool onLine = std::fmod(float(x), cellWidth) < FACTOR * 1.5f ||
                                std::fmod(float(y), cellHeight) < FACTOR * 1.5f;
            if (onLine) {
                image.Blend(x, y, grid, 0.7f);
            }
        }
    }
    const float left = 1.0f * cellWidth;
    const float top = float(rows - 4) * cellHeight;
    FillShape(
        &image,
        [&](float px, float py) {
            const float outer = SdBox(px, py, left + cellWidth / 2.0f, top + cellHeight / 2.0f,
                                      cellWidth / 2.0f, cellHeight / 2.0f, 0.0f);
            return std::abs(outer) - FACTOR * 2.0f;
        },
        [&](float, float, float) { return Rgb8(255, 215, 40); });
    CutPlate(&image, Rgb8(120, 150, 210));
    return Downsample(image, FACTOR);
}
