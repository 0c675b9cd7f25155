#include "tools/datagen/figures.h"

namespace {
constexpr float PI = 3.14159265f;
constexpr float DEG = PI / 180.0f;

// Lengths in pixels of the 96-pixel figure.
constexpr float THIGH = 19.0f;
constexpr float SHIN = 19.0f;
constexpr float ANKLE_HEIGHT = 5.0f;  // ankle joint above the sole
constexpr float TORSO = 24.0f;
constexpr float UPPER_ARM = 13.0f;
constexpr float FOREARM = 12.0f;

const Color ARMOUR = Rgb8(74, 118, 98);
const Color SUIT = Rgb8(58, 60, 68);
const Color BOOT = Rgb8(64, 56, 48);
const Color VISOR = Rgb8(255, 186, 60);

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

Point Along(Point from, float angle, float length)
{
    // Angles from straight down, positive towards the front (right).
    return {from.x + length * std::sin(angle), from.y + length * std::cos(angle)};
}

struct Leg {
    float thigh = 0.0f;  // from vertical, forward positive
    float knee = 0.0f;   // flexion: the shin turns back by this much
    float foot = 0.0f;   // toe up positive
};

struct Arm {
    float upper = 0.0f;
    float elbow = 0.0f;  // flexion: the forearm turns forward
};

struct Pose {
    Leg nearLeg;
    Leg farLeg;
    Arm nearArm;
    Arm farArm;
    float lean = 0.0f;  // torso forward tilt
};

struct LegPoints {
    Point hip, knee, ankle, heel, toe;
};

LegPoints PlaceLeg(Point hip, const Leg &leg)
{
    LegPoints p;
    p.hip = hip;
    p.knee = Along(hip, leg.thigh, THIGH);
    p.ankle = Along(p.knee, leg.thigh - leg.knee, SHIN);
    // The sole runs from the heel to the toe, tilted by the foot angle.
    const float c = std::cos(leg.foot);
    const float s = std::sin(leg.foot);
    const Point sole = {p.ankle.x + ANKLE_HEIGHT * s, p.ankle.y + ANKLE_HEIGHT * c};
    p.heel = {sole.x - 3.0f * c, sole.y + 3.0f * s};
    p.toe = {sole.x + 8.0f * c, sole.y - 8.0f * s};
    return p;
}

float Lowest(const LegPoints &p)
{
    return std::max(p.heel.y, p.toe.y) + 1.5f;  // the sole's thickness below the line
}

// Shading of a limb part: darker towards its rim, dimmer on the far side of the body.
Color Rounded(Color base, float d, float radius, float side)
{
    const float inside = Clamp01(-d / radius);
    return base * (side * (0.62f + 0.5f * std::sqrt(inside)));
}

void PaintLeg(Painter *p, const LegPoints &leg, float side)
{
    const Point h = leg.hip;
    const Point k = leg.knee;
    const Point a = leg.ankle;
    p->Part([=](float x, float y) { return SdCapsule2(x, y, h.x, h.y, k.x, k.y, 5.4f, 4.2f); },
            [=](float, float, float d) { return Rounded(SUIT, d, 4.0f, side); });
    // Thigh plate on the front.
    p->Part(
        [=](float x, float y) {
            return SdCapsule2(x, y, h.x + 0.8f, h.y + 2.0f, k.x + 0.8f, k.y - 3.0f, 4.4f, 3.5f);
        },
        [=](float, float, float d) { return Rounded(ARMOUR, d, 3.0f, side); }, 0.6f);
    p->Part([=](float x, float y) { return SdCapsule2(x, y, k.x, k.y, a.x, a.y, 4.2f, 3.5f); },
            [=](float, float, float d) { return Rounded(ARMOUR * 0.92f, d, 3.2f, side); });
    // Boot.
    const Point heel = leg.heel;
    const Point toe = leg.toe;
    p->Part(
        [=](float x, float y) {
            const float upper = SdCapsule2(x, y, a.x, a.y, (heel.x + toe.x) * 0.5f,
                                           (heel.y + toe.y) * 0.5f - 1.5f, 4.0f, 3.8f);
            const float sole =
                SdCapsule2(x, y, heel.x, heel.y - 1.0f, toe.x, toe.y - 1.0f, 2.4f, 2.0f);
            return std::min(upper, sole);
        },
        [=](float, float, float d) { return Rounded(BOOT, d, 2.5f, side); });
    // Knee pad.
    p->Part([=](float x, float y) { return SdCircle(x, y, k.x + 1.4f, k.y, 3.9f); },
            [=](float, float, float d) { return Rounded(ARMOUR * 1.25f, d, 3.0f, side); }, 0.6f);
}

void PaintArm(Painter *p, Point shoulder, const Arm &arm, float side)
{
    const Point s = shoulder;
    const Point e = Along(s, arm.upper, UPPER_ARM);
    const Point w = Along(e, arm.upper + arm.elbow, FOREARM);
    p->Part([=](float x, float y) { return SdCapsule2(x, y, s.x, s.y, e.x, e.y, 3.9f, 3.5f); },
            [=](float, float, float d) { return Rounded(SUIT, d, 3.0f, side); });
    p->Part([=](float x, float y) { return SdCapsule2(x, y, e.x, e.y, w.x, w.y, 3.7f, 3.4f); },
            [=](float, float, float d) { return Rounded(ARMOUR, d, 3.0f, side); });
    p->Part([=](float x, float y) { return SdCircle(x, y, w.x, w.y + 0.5f, 3.6f); },
            [=](float, float, float d) { return Rounded(SUIT * 0.9f, d, 3.0f, side); });
    // Shoulder pad.
    p->Part(
        [=](float x, float y) {
            return SdCapsule2(x, y, s.x - 0.5f, s.y - 0.5f, s.x + 0.2f, s.y + 5.0f, 6.4f, 4.8f);
        },
        [=](float, float y, float d) {
            const float top = Clamp01((y - (s.y - 6.0f)) / 12.0f);
            return Rounded(ARMOUR * (1.3f - 0.35f * top), d, 4.0f, side);
        });
}

Image PaintFigure(const Pose &pose)
{
    // Place the hip, then lift or lower the whole figure so the lower foot stands on the edge.
    Point hip = {31.0f, 0.0f};
    const LegPoints nearTrial = PlaceLeg(hip, pose.nearLeg);
    const LegPoints farTrial = PlaceLeg(hip, pose.farLeg);
    hip.y = float(FIGURE_HEIGHT) - std::max(Lowest(nearTrial), Lowest(farTrial));
    const LegPoints nearLeg = PlaceLeg(hip, pose.nearLeg);
    const LegPoints farLeg = PlaceLeg(hip, pose.farLeg);

    const float lean = pose.lean;
    const Point chest = Along(hip, PI - lean, TORSO);  // upwards, tilted forward
    const Point shoulder = {chest.x - 1.0f, chest.y + 2.0f};
    const Point neck = Along(chest, PI - lean, 3.0f);
    const Point head = Along(neck, PI - lean * 0.6f, 8.0f);

    Painter p(FIGURE_WIDTH, FIGURE_HEIGHT);
    PaintArm(&p, {shoulder.x - 1.5f, shoulder.y}, pose.farArm, 0.72f);
    PaintLeg(&p, farLeg, 0.72f);
    // Backpack behind the torso.
    p.Part(
        [=](float x, float y) {
            const Point a = Along(hip, PI - lean, 9.0f);
            const Point b = Along(hip, PI - lean, 22.0f);
            return SdCapsule2(x, y, a.x - 8.5f, a.y, b.x - 8.5f, b.y, 5.0f, 5.6f);
        },
        [](float, float, float d) { return Rounded(Rgb8(80, 84, 76), d, 3.5f, 1.0f); });
    // Torso: undersuit, then chest plate, then belt.
    p.Part(
        [=](float x, float y) {
            return SdCapsule2(x, y, hip.x, hip.y - 2.0f, chest.x, chest.y + 2.0f, 7.8f, 9.5f);
        },
        [](float, float, float d) { return Rounded(SUIT, d, 5.0f, 1.0f); });
    p.Part(
        [=](float x, float y) {
            const Point a = Along(hip, PI - lean, 8.0f);
            return SdCapsule2(x, y, a.x + 1.5f, a.y, chest.x + 1.5f, chest.y + 3.0f, 7.0f, 8.6f);
        },
        [=](float x, float y, float d) {
            const float front = Clamp01((x - chest.x + 4.0f) / 10.0f);
            const float ridge = std::fabs(y - (chest.y + 9.0f)) < 0.6f ? 0.8f : 1.0f;
            return Rounded(ARMOUR * (0.85f + 0.35f * front) * ridge, d, 4.0f, 1.0f);
        });
    p.Part(
        [=](float x, float y) {
            return SdCapsule(x, y, hip.x - 6.5f, hip.y - 2.0f, hip.x + 6.5f, hip.y - 2.0f, 2.4f);
        },
        [](float x, float, float d) {
            const bool buckle = std::fabs(x - 35.0f) < 1.5f;
            return buckle ? Rgb8(200, 180, 90) : Rounded(Rgb8(46, 42, 38), d, 2.0f, 1.0f);
        },
        0.6f);
    PaintLeg(&p, nearLeg, 1.0f);
    // Helmet with a visor across its front.
    p.Part([=](float x, float y) { return SdCircle(x, y, head.x, head.y, 9.2f); },
           [=](float x, float y, float d) {
               const float light = Clamp01(0.6f - (x - head.x) * 0.02f - (y - head.y) * 0.06f);
               return Rounded(ARMOUR * (0.8f + 0.6f * light), d, 5.0f, 1.0f);
           });
    p.Part([=](float x,
               float y) { return SdBox(x, y, head.x + 5.2f, head.y + 0.5f, 4.6f, 2.6f, 1.6f); },
           [=](float x, float y, float) {
               const float glint =
                   std::exp(-std::pow(x - head.x - 7.0f, 2.0f) - std::pow(y - head.y + 0.5f, 2.0f));
               return Mix(VISOR, Rgb8(255, 250, 220), glint);
           },
           0.8f);
    p.Part([=](float x,
               float y) { return SdBox(x, y, head.x - 1.0f, head.y - 7.8f, 4.0f, 1.0f, 0.8f); },
           [](float, float, float) { return ARMOUR * 1.35f; }, 0.0f);
    PaintArm(&p, shoulder, pose.nearArm, 1.0f);
    return p.Finish();
}
}  // namespace

Image PaintWalkFrame(int32_t frame)
{
    // Phase 0 is the passing pose: one leg straight under the body, the other swinging through
    // with a bent knee. It doubles as the standing and jumping pose.
    const auto bump = [](float phase, float centre, float width) {
        float d = phase - centre;
        d -= std::round(d);
        return std::exp(-(d / width) * (d / width));
    };
    const auto leg = [&](float phase) {
        Leg l;
        l.thigh = 22.0f * DEG * std::sin(2.0f * PI * phase);
        // The knee folds most just after the toe leaves the ground, and gives a little as the
        // foot takes the weight.
        l.knee = 5.0f * DEG + 46.0f * DEG * bump(phase, 0.86f, 0.13f) +
                 8.0f * DEG * bump(phase, 0.35f, 0.08f);
        l.foot = 14.0f * DEG * bump(phase, 0.2f, 0.07f) - 22.0f * DEG * bump(phase, 0.72f, 0.06f);
        return l;
    };
    const float phase = float(frame) / float(WALK_FRAMES);
    const float swing = std::sin(2.0f * PI * phase);
    Pose pose;
    pose.nearLeg = leg(phase);
    pose.farLeg = leg(phase + 0.5f);
    // Arms swing against the legs of their side.
    pose.nearArm.upper = -22.0f * DEG * swing;
    pose.farArm.upper = 22.0f * DEG * swing;
    pose.nearArm.elbow = 25.0f * DEG + std::max(0.0f, pose.nearArm.upper) * 0.9f;
    pose.farArm.elbow = 25.0f * DEG + std::max(0.0f, pose.farArm.upper) * 0.9f;
    pose.lean = 5.0f * DEG;
    return PaintFigure(pose);
}

Image PaintCrouchFrame(int32_t frame)
{
    const float t = float(frame) / float(CROUCH_FRAMES - 1);
    Pose pose;
    pose.nearLeg = {70.0f * DEG * t + 4.0f * DEG, 125.0f * DEG * t + 4.0f * DEG, 0.0f};
    pose.farLeg = {58.0f * DEG * t - 4.0f * DEG, 118.0f * DEG * t, 0.0f};
    // Keep the shins' ends level: the foot stays flat on the ground.
    pose.nearLeg.foot = 0.0f;
    pose.farLeg.foot = 0.0f;
    pose.nearArm = {30.0f * DEG * t + 5.0f * DEG, 40.0f * DEG + 30.0f * DEG * t};
    pose.farArm = {22.0f * DEG * t, 35.0f * DEG + 25.0f * DEG * t};
    pose.lean = 5.0f * DEG + 22.0f * DEG * t;
    return PaintFigure(pose);
}

Image PaintExplosionFrame(int32_t frame)
{
    const float t = float(frame) / float(EXPLOSION_FRAMES - 1);
    const float radius = 9.0f + 21.0f * (1.0f - std::pow(1.0f - t, 3.5f));
    const float cy = 32.0f - 4.0f * t;  // hot gas rises
    const float heat = std::pow(1.0f - t, 1.4f);
    const float fade = 1.0f - t * t;
    Image image(EXPLOSION_SIDE, EXPLOSION_SIDE);
    for (int32_t y = 0; y < EXPLOSION_SIDE; ++y) {
        for (int32_t x = 0; x < EXPLOSION_SIDE; ++x) {
            const float dx = float(x) + 0.5f - 32.0f;
            const float dy = float(y) + 0.5f - cy;
            const float r = std::hypot(dx, dy);
            // Billows: noise that grows with the ball, churning as it goes.
            const float scale = 0.3f * radius;
            const float billow = Fbm(dx / scale + 20.0f, dy / scale + 20.0f - t * 2.0f, 64, 4, 777);
            const float edge = radius * (0.7f + 0.6f * billow);
            const float density = Clamp01((edge - r) / (0.45f * radius + 1.0f));
            if (density <= 0.0f) {
                continue;
            }
            const float core = Clamp01(1.0f - r / (edge * 0.8f + 0.01f));
            const float temperature =
                Clamp01(heat * (0.45f + 0.9f * core) * (0.8f + 0.4f * billow));
            Color c;
            if (temperature > 0.7f) {
                c = Mix(Rgb8(255, 220, 90), Rgb8(255, 255, 235), (temperature - 0.7f) / 0.3f);
            } else if (temperature > 0.4f) {
                c = Mix(Rgb8(240, 110, 30), Rgb8(255, 220, 90), (temperature - 0.4f) / 0.3f);
            } else if (temperature > 0.15f) {
                c = Mix(Rgb8(150, 40, 20), Rgb8(240, 110, 30), (temperature - 0.15f) / 0.25f);
            } else {
                c = Mix(Rgb8(70, 62, 58), Rgb8(150, 40, 20), temperature / 0.15f);
            }
            image.Blend(x, y, c * (density * fade), 1.0f);
        }
    }
    // Sparks thrown out in the first frames.
    for (uint32_t i = 0; i < 14 && t < 0.5f; ++i) {
        const float a = HashUnit(i, 1, 778) * 2.0f * PI;
        const float speed = 0.6f + 0.4f * HashUnit(i, 2, 778);
        const float d = (radius + 4.0f) * speed * (0.8f + t * 0.8f);
        const int32_t sx = int32_t(32.0f + std::cos(a) * d);
        const int32_t sy = int32_t(cy + std::sin(a) * d);
        if (image.Inside(sx, sy)) {
            image.At(sx, sy) = image.At(sx, sy) + Rgb8(255, 220, 140) * (1.0f - 2.0f * t);
            image.AlphaAt(sx, sy) = 1.0f;
        }
    }
    return image;
}

std::vector<uint8_t> FrameBytes(const Image &image)
{
    std::vector<uint8_t> bytes = ImageBytes(image, true);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint8_t *const p = &bytes[i];
        if (image.alpha[i / 3] >= 0.5f && p[0] <= 10 && p[1] <= 10 && p[2] <= 10) {
            p[0] = p[1] = p[2] = 12;
        }
    }
    return bytes;
}
