#include "tools/datagen/weapons.h"

namespace {

// Shading of a cylinder lying along x with its axis at `cy` and radius `r`: lit from above.
Color Tube(Color base, float py, float cy, float r)
{
    const float t = Clamp01((py - (cy - r)) / (2.0f * r));
    const float light = 1.25f - 0.9f * t + 0.35f * std::exp(-std::pow((t - 0.25f) * 6.0f, 2.0f));
    return base * light;
}

// Shading of a flat plate: brighter near its top edge.
Color Plate(Color base, float py, float top, float height)
{
    const float t = Clamp01((py - top) / height);
    return base * (1.2f - 0.5f * t);
}

float Grip(float px, float py, float x, float y, float length, float slant)
{
    return SdCapsule2(px, py, x, y, x - slant, y + length, 4.0f, 3.4f);
}
}  // namespace

Image PaintRocketLauncher()
{
    Painter p(96, 64);
    const Color olive = Rgb8(96, 108, 62);
    const Color dark = Rgb8(52, 56, 44);
    // Grips under the tube: the rear one at the pivot, a front one further along.
    p.Part([](float x, float y) { return Grip(x, y, 33, 36, 16, 4); },
           [&](float, float, float) { return dark * 1.2f; });
    p.Part([](float x, float y) { return Grip(x, y, 60, 36, 10, 2); },
           [&](float, float, float) { return dark * 1.1f; });
    // The tube, flared at the back, a thick muzzle ring at the front.
    p.Part([](float x, float y) { return SdBox(x, y, 50, 28, 42, 10, 2); },
           [&](float, float y, float) { return Tube(olive, y, 28, 10); });
    p.Part([](float x, float y) { return SdBox(x, y, 7, 28, 5, 12.5f, 2); },
           [&](float, float y, float) { return Tube(dark * 1.3f, y, 28, 12.5f); });
    p.Part([](float x, float y) { return SdBox(x, y, 89, 28, 6, 12, 1.5f); },
           [&](float, float y, float) { return Tube(Rgb8(70, 74, 66), y, 28, 12); });
    // Hazard stripes near the muzzle.
    p.Part([](float x, float y) { return SdBox(x, y, 75, 28, 5, 10, 0); },
           [&](float x, float y, float) {
               const bool yellow = int32_t(std::floor((x + y) / 3.0f)) % 2 == 0;
               return Tube(yellow ? Rgb8(220, 180, 40) : Rgb8(30, 30, 30), y, 28, 10);
           },
           0.0f);
    // Bore opening at the front.
    p.Part([](float x, float y) { return SdBox(x, y, 94, 28, 1.5f, 8.5f, 1); },
           [](float, float, float) { return Rgb8(18, 16, 14); }, 0.0f);
    // Sight on top and a warhead window.
    p.Part([](float x, float y) { return SdBox(x, y, 48, 15, 7, 3.5f, 1); },
           [&](float, float y, float) { return Plate(dark * 1.4f, y, 11, 7); });
    p.Part([](float x, float y) { return SdBox(x, y, 54, 15, 1.5f, 2, 0.5f); },
           [](float, float, float) { return Rgb8(255, 80, 60); }, 0.0f);
    // Bands.
    for (const float bx : {22.0f, 40.0f}) {
        p.Part([=](float x, float y) { return SdBox(x, y, bx, 28, 1.2f, 10.3f, 0); },
               [&](float, float y, float) { return Tube(dark, y, 28, 10); }, 0.0f);
    }
    return p.Finish();
}

Image PaintRailGun()
{
    Painter p(96, 64);
    const Color white = Rgb8(196, 202, 212);
    const Color steel = Rgb8(92, 100, 112);
    const Color cyan = Rgb8(90, 255, 250);
    p.Part([](float x, float y) { return Grip(x, y, 32, 38, 15, 4); },
           [&](float, float, float) { return steel * 0.9f; });
    // Stock.
    p.Part([](float x, float y) { return SdBox(x, y, 8, 33, 7, 5.5f, 2); },
           [&](float, float y, float) { return Plate(steel, y, 28, 11); });
    // Two long rails with a glowing channel between them.
    const auto channel = [](float x, float y) { return SdBox(x, y, 68, 30, 26, 1.4f, 0); };
    p.Glow(channel, cyan * 0.8f, 4.0f);
    p.Part(
        channel, [&](float, float, float) { return Rgb8(220, 255, 255); }, 0.0f);
    for (const float ry : {25.0f, 35.0f}) {
        p.Part([=](float x, float y) { return SdBox(x, y, 66, ry, 28, 2.4f, 1.2f); },
               [&, ry](float, float y, float) { return Tube(white, y, ry, 2.4f); });
    }
    // Coils around the rails.
    for (const float cx : {52.0f, 63.0f, 74.0f, 85.0f}) {
        p.Part([=](float x, float y) { return SdBox(x, y, cx, 30, 2.2f, 8, 1); },
               [&](float x, float y, float) {
                   const Color metal = Tube(steel, y, 30, 8);
                   return std::fabs(x - cx) < 0.8f ? Mix(metal, cyan, 0.7f) : metal;
               });
    }
    // Muzzle prongs.
    p.Part([](float x, float y) { return SdBox(x, y, 93, 24.5f, 2.5f, 2.5f, 1); },
           [&](float, float y, float) { return Tube(steel, y, 24.5f, 2.5f); });
    p.Part([](float x, float y) { return SdBox(x, y, 93, 35.5f, 2.5f, 2.5f, 1); },
           [&](float, float y, float) { return Tube(steel, y, 35.5f, 2.5f); });
    // Receiver with a cyan power strip.
    p.Part([](float x, float y) { return SdBox(x, y, 28, 30, 16, 8, 3); },
           [&](float, float y, float) { return Plate(white, y, 22, 16); });
    p.Part([](float x, float y) { return SdBox(x, y, 28, 27, 11, 1.2f, 0.6f); },
           [&](float, float, float) { return cyan; }, 0.0f);
    p.Part([](float x, float y) { return SdBox(x, y, 28, 34.5f, 12, 1.0f, 0); },
           [&](float, float, float) { return steel * 0.8f; }, 0.0f);
    // Scope.
    p.Part([](float x, float y) { return SdBox(x, y, 30, 19, 8, 2.5f, 1.2f); },
           [&](float, float y, float) { return Tube(steel, y, 19, 2.5f); });
    p.Part([](float x, float y) { return SdBox(x, y, 38, 19, 0.8f, 2, 0); },
           [&](float, float, float) { return cyan; }, 0.0f);
    return p.Finish();
}

Image PaintPlasmaGun()
{
    Painter p(96, 64);
    const Color body = Rgb8(66, 72, 104);
    const Color violet = Rgb8(176, 96, 255);
    const Color blue = Rgb8(90, 170, 255);
    p.Part([](float x, float y) { return Grip(x, y, 32, 40, 14, 4); },
           [&](float, float, float) { return body * 0.8f; });
    // Barrel with glowing coils.
    p.Part([](float x, float y) { return SdBox(x, y, 74, 31, 20, 4.5f, 2); },
           [&](float, float y, float) { return Tube(body * 0.9f, y, 31, 4.5f); });
    for (const float cx : {63.0f, 71.0f, 79.0f, 87.0f}) {
        const auto coil = [=](float x, float y) { return SdBox(x, y, cx, 31, 2, 8, 2); };
        p.Glow(coil, violet * 0.6f, 3.0f);
        p.Part(coil, [&, cx](float x, float y, float) {
            const float centre = 1.0f - std::fabs(x - cx) / 2.0f;
            return Mix(Tube(violet, y, 31, 8), Rgb8(240, 210, 255), Clamp01(centre) * 0.5f);
        });
    }
    // Emitter nozzle.
    p.Part([](float x, float y) { return SdBox(x, y, 93, 31, 2.5f, 6, 1.5f); },
           [&](float, float y, float) { return Tube(body * 1.2f, y, 31, 6); });
    p.Part([](float x, float y) { return SdBox(x, y, 95, 31, 0.8f, 3.5f, 0.5f); },
           [&](float, float, float) { return Rgb8(220, 190, 255); }, 0.0f);
    // Receiver, rounded.
    p.Part([](float x, float y) { return SdBox(x, y, 34, 31, 24, 10, 6); },
           [&](float, float y, float) { return Plate(body, y, 21, 20); });
    p.Part([](float x, float y) { return SdBox(x, y, 36, 35.5f, 18, 1.0f, 0.5f); },
           [&](float, float, float) { return body * 0.6f; }, 0.0f);
    // Energy cell on top with a window.
    p.Part([](float x, float y) { return SdBox(x, y, 28, 18, 11, 5, 2.5f); },
           [&](float, float y, float) { return Tube(body * 1.1f, y, 18, 5); });
    const auto window = [](float x, float y) { return SdBox(x, y, 28, 18, 8, 2.2f, 1.2f); };
    p.Part(
        window,
        [&](float x, float, float) {
            const float pulse = 0.5f + 0.5f * std::sin(x * 1.3f);
            return Mix(blue, Rgb8(210, 240, 255), pulse * 0.6f);
        },
        0.0f);
    return p.Finish();
}

Image PaintRocket()
{
    Painter p(64, 64);
    const Color hull = Rgb8(210, 212, 206);
    const Color red = Rgb8(200, 40, 32);
    // Flame out of the tail, on the right.
    const auto flame = [](float x, float y) {
        return SdCapsule2(x, y, 49, 32, 63, 32, 5.5f, 0.5f);
    };
    p.Part(
        flame,
        [](float x, float y, float) {
            const float along = Clamp01((x - 49.0f) / 14.0f);
            const float across = std::fabs(y - 32.0f) / 5.5f;
            const float heat = Clamp01(1.0f - along * 0.8f - across * 0.6f);
            return Mix(Rgb8(230, 70, 20), Rgb8(255, 250, 200), heat);
        },
        0.0f);
    // Fins at the tail.
    for (const float side : {-1.0f, 1.0f}) {
        p.Part(
            [=](float x, float y) {
                const float fy = 32.0f + side * 8.0f;
                return SdCapsule2(x, y, 36, 32 + side * 3, 46, fy, 1.2f, 2.4f);
            },
            [&](float, float, float) { return red * 0.85f; });
    }
    // Body and nozzle.
    p.Part([](float x, float y) { return SdBox(x, y, 47, 32, 3, 4.2f, 1); },
           [](float, float y, float) { return Tube(Rgb8(70, 70, 74), y, 32, 4.2f); });
    p.Part([](float x, float y) { return SdBox(x, y, 28, 32, 17, 5.5f, 2); },
           [&](float x, float y, float) {
               const bool band = x > 36.0f && x < 39.0f;
               return Tube(band ? Rgb8(60, 60, 66) : hull, y, 32, 5.5f);
           });
    // Nose cone at the left edge.
    p.Part(
        [](float x, float y) {
            const float t = Clamp01((x - 2.0f) / 10.0f);
            const float radius = 5.5f * std::sqrt(t);
            return std::max(std::fabs(y - 32.0f) - radius, std::max(2.0f - x, x - 12.0f));
        },
        [&](float, float y, float) { return Tube(red, y, 32, 5.5f); });
    p.Part([](float x, float y) { return SdCapsule(x, y, 26, 31, 27, 31, 1.2f); },
           [](float, float, float) { return Rgb8(250, 210, 60); }, 0.0f);
    return p.Finish();
}

Image PaintPlasmaBall()
{
    Image image(32, 32);
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 0; x < 32; ++x) {
            const float dx = float(x) + 0.5f - 16.0f;
            const float dy = float(y) + 0.5f - 16.0f;
            const float r = std::hypot(dx, dy);
            const float swirl = Fbm(float(x) / 5.0f + r * 0.1f, float(y) / 5.0f, 8, 3, 4040);
            const float halo = Clamp01(1.0f - r / 15.5f);
            const float core = Clamp01(1.0f - r / 7.0f);
            Color c = Rgb8(150, 70, 255) * (halo * (0.7f + 0.6f * swirl));
            c = c + Rgb8(90, 150, 255) * std::pow(Clamp01(1.0f - r / 12.5f), 1.3f);
            c = c + Rgb8(240, 245, 255) * std::sqrt(core);
            image.Blend(x, y, c, 1.0f);
        }
    }
    return image;
}
