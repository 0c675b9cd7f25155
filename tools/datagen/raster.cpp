#include "tools/datagen/raster.h"

std::vector<uint8_t> ImageBytes(const Image &image, bool colourKeyed)
{
    std::vector<uint8_t> bytes(size_t(image.width) * size_t(image.height) * 3);
    for (size_t i = 0; i < image.colors.size(); ++i) {
        const Color c = image.colors[i];
        uint8_t *const out = &bytes[i * 3];
        out[0] = uint8_t(std::lround(Clamp01(c.r) * 255.0f));
        out[1] = uint8_t(std::lround(Clamp01(c.g) * 255.0f));
        out[2] = uint8_t(std::lround(Clamp01(c.b) * 255.0f));
        if (!colourKeyed) {
            continue;
        }
        if (image.alpha[i] < 0.5f) {
            out[0] = out[1] = out[2] = 0;
        } else if (out[0] == 0 && out[1] == 0 && out[2] == 0) {
            out[0] = out[1] = out[2] = 1;  // the darkest colour that still shows
        }
    }
    return bytes;
}

Image Downsample(const Image &big, int32_t factor)
{
    Image small(big.width / factor, big.height / factor);
    const float samples = float(factor * factor);
    for (int32_t y = 0; y < small.height; ++y) {
        for (int32_t x = 0; x < small.width; ++x) {
            Color sum;
            float cover = 0.0f;
            for (int32_t sy = 0; sy < factor; ++sy) {
                for (int32_t sx = 0; sx < factor; ++sx) {
                    const int32_t bx = x * factor + sx;
                    const int32_t by = y * factor + sy;
                    const float a = big.AlphaAt(bx, by);
                    sum = sum + big.At(bx, by) * a;
                    cover += a;
                }
            }
            small.At(x, y) = cover > 0.0f ? sum * (1.0f / cover) : Color();
            small.AlphaAt(x, y) = cover / samples;
        }
    }
    return small;
}

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

float HashUnit(uint32_t x, uint32_t y, uint32_t seed)
{
    return float(Hash(x, y, seed) & 0xffffffu) / float(0xffffff);
}

float ValueNoise(float x, float y, int32_t period, uint32_t seed)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const auto wrap = [period](float v) {
        const int32_t i = int32_t(v) % period;
        return uint32_t(i < 0 ? i + period : i);
    };
    const uint32_t x0 = wrap(fx);
    const uint32_t y0 = wrap(fy);
    const uint32_t x1 = wrap(fx + 1.0f);
    const uint32_t y1 = wrap(fy + 1.0f);
    float tx = x - fx;
    float ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const float a = HashUnit(x0, y0, seed);
    const float b = HashUnit(x1, y0, seed);
    const float c = HashUnit(x0, y1, seed);
    const float d = HashUnit(x1, y1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float Fbm(float x, float y, int32_t period, int32_t octaves, uint32_t seed)
{
    float sum = 0.0f;
    float amplitude = 0.5f;
    float total = 0.0f;
    for (int32_t i = 0; i < octaves; ++i) {
        sum += ValueNoise(x, y, period, seed + uint32_t(i) * 101u) * amplitude;
        total += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float SdCircle(float px, float py, float cx, float cy, float r)
{
    return std::hypot(px - cx, py - cy) - r;
}

float SdBox(float px, float py, float cx, float cy, float hw, float hh, float radius)
{
    const float qx = std::fabs(px - cx) - hw + radius;
    const float qy = std::fabs(py - cy) - hh + radius;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float SdCapsule(float px, float py, float ax, float ay, float bx, float by, float r)
{
    return SdCapsule2(px, py, ax, ay, bx, by, r, r);
}

float SdCapsule2(float px, float py, float ax, float ay, float bx, float by, float ra, float rb)
{
    const float pax = px - ax;
    const float pay = py - ay;
    const float bax = bx - ax;
    const float bay = by - ay;
    const float lengthSq = bax * bax + bay * bay;
    const float h = lengthSq > 0.0f ? Clamp01((pax * bax + pay * bay) / lengthSq) : 0.0f;
    return std::hypot(pax - bax * h, pay - bay * h) - (ra + (rb - ra) * h);
}
