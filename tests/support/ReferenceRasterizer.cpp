#include "support/ReferenceRasterizer.h"

#include <algorithm>

using namespace Compatibility;

namespace Reference {

namespace {

struct Field
{
    int shift; // position in the 16-bit pixel
    int bits;
};

struct Layout
{
    Field red;
    Field green;
    Field blue;
};

Layout LayoutOf(TargetFormat format)
{
    if (format == TargetFormat::RGB565) {
        return {{11, 5}, {5, 6}, {0, 5}};
    }
    return {{10, 5}, {5, 5}, {0, 5}};
}

uint32_t FieldOf(uint32_t pixel, Field f)
{
    return (pixel >> f.shift) & ((1u << f.bits) - 1);
}

uint32_t Max(Field f)
{
    return (1u << f.bits) - 1;
}

// Wrapping 32-bit arithmetic on 64-bit values, as the walk states it.
int64_t Wrap(int64_t v)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

int64_t Mul(int64_t a, int64_t b)
{
    return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

int64_t Ceil(int64_t q)
{
    return (q + 0xFFFF) >> 16;
}

int32_t FieldValue(const RasterVertex& v, int i)
{
    switch (i) {
    case 0:
        return v.a;
    case 1:
        return v.r;
    case 2:
        return v.g;
    case 3:
        return v.b;
    case 4:
        return v.u;
    default:
        return v.v;
    }
}

uint32_t Clamp816(int32_t c)
{
    return c < 0 ? 0 : (c > 0xFFFFFF ? 0xFFFFFF : static_cast<uint32_t>(c));
}

// Everything one pixel of a triangle knows.
struct Fragment
{
    uint32_t texel;
    uint32_t ia, ir, ig, ib; // clamped 8.16 colour
};

uint32_t PackFrom816(uint32_t r, uint32_t g, uint32_t b)
{
    return (((r >> 16) & 0xFF) << 16) | (((g >> 16) & 0xFF) << 8) | ((b >> 16) & 0xFF);
}

// The untextured pixel write of every format.
uint32_t ShadeUntextured(TargetFormat format, uint32_t d, uint32_t A, uint32_t R, uint32_t G, uint32_t B)
{
    uint32_t c = PackFrom816(R, G, B);
    if (A > 0xF00000) {
        return format == TargetFormat::ARGB8888 ? c : Pack16(format, c);
    }
    if (A > 0x80000) {
        uint32_t a = A >> 16;
        return format == TargetFormat::ARGB8888 ? Blend32(c, d, a) : Blend16(format, c, a, d);
    }
    return d;
}

struct Weight
{
    bool present;
    uint32_t a, r, g, b;
};

Weight WeightOf(uint32_t index, const Fragment& f, const RasterColor& m)
{
    bool gouraud = index & 2;
    bool modulate = index & 1;
    if (gouraud && modulate) {
        return {true, (m.a * f.ia) >> 24, (m.r * f.ir) >> 24, (m.g * f.ig) >> 24, (m.b * f.ib) >> 24};
    }
    if (gouraud) {
        return {true, f.ia >> 16, f.ir >> 16, f.ig >> 16, f.ib >> 16};
    }
    if (modulate) {
        return {true, m.a, m.r, m.g, m.b};
    }
    return {false, 0, 0, 0, 0};
}

uint32_t FillRGB(const RasterColor& fill)
{
    return ((fill.r & 0xFF) << 16) | ((fill.g & 0xFF) << 8) | (fill.b & 0xFF);
}

// The 32-bit textured members (normal, colour fill, additive): source, texture alpha,
// modulate, result, additive, in that order.
bool Textured32(uint32_t index, uint32_t& d, const Fragment& f, const RasterColor& m, const RasterColor& fill)
{
    bool textureAlpha = index & 4;
    bool colorFill = index & 16;
    bool additive = index & 32;
    uint32_t s = colorFill ? ((f.texel & 0xFF000000) | FillRGB(fill)) : f.texel;
    uint32_t a = 255;
    if (textureAlpha) {
        a = s >> 24;
        if (a <= 8) {
            return false;
        }
    }
    Weight k = WeightOf(index, f, m);
    uint32_t result;
    if (!k.present && !textureAlpha) {
        result = s;
    } else {
        uint32_t w = a;
        if (k.present) {
            s = Modulate32(s, k.r, k.g, k.b);
            w = (k.a * a) >> 8;
        }
        if (w >= 240) {
            result = s;
        } else {
            result = additive ? Weighted32(s, w) : Blend32(s, d, w);
        }
    }
    d = additive ? AddSat32(d, result) : result;
    return true;
}

// The 32-bit additive colour-fill members: the value added is the blend over the destination.
bool AdditiveColorFill32(uint32_t index, uint32_t& d, const Fragment& f, const RasterColor& m,
                         const RasterColor& fill)
{
    bool textureAlpha = index & 4;
    uint32_t ta = f.texel >> 24;
    if (textureAlpha && ta <= 8) {
        return false;
    }
    uint32_t c = FillRGB(fill);
    Weight k = WeightOf(index, f, m);
    uint32_t S;
    if (!k.present && !textureAlpha) {
        S = c;
    } else {
        uint32_t a = textureAlpha ? ta : 255;
        if (k.present) {
            a = (a * k.a) >> 8;
            c = (((Channel(c, 16) * k.r) >> 8) << 16) | (((Channel(c, 8) * k.g) >> 8) << 8) |
                ((Channel(c, 0) * k.b) >> 8);
        }
        S = a >= 240 ? c : Blend32(c, d, a);
    }
    d = AddSat32(d, S);
    return true;
}

// The 16-bit textured members of every family.
bool Textured16(TargetFormat format, uint32_t index, uint32_t& d, const Fragment& f, const RasterColor& m,
                const RasterColor& fill)
{
    bool textureAlpha = index & 4;
    bool colorFill = index & 16;
    bool additive = index & 32;
    uint32_t ta = f.texel >> 24;
    uint32_t c = colorFill ? FillRGB(fill) : (f.texel & 0xFFFFFF);
    if (textureAlpha && ta <= 8) {
        return false;
    }
    Weight k = WeightOf(index, f, m);
    uint32_t S;
    if (!k.present && !textureAlpha) {
        S = Pack16(format, c);
    } else {
        uint32_t a = textureAlpha ? ta : 255;
        if (k.present) {
            a = (a * k.a) >> 8;
            c = (((Channel(c, 16) * k.r) >> 8) << 16) | (((Channel(c, 8) * k.g) >> 8) << 8) |
                ((Channel(c, 0) * k.b) >> 8);
        }
        S = a >= 240 ? Pack16(format, c) : Blend16(format, c, a, d);
    }
    d = additive ? AddSat16(format, d, S) : S;
    return true;
}

void ShadeTextured(TargetFormat format, uint32_t index, uint32_t& d, const Fragment& f, const RasterColor& m,
                   const RasterColor& fill)
{
    if (format != TargetFormat::ARGB8888) {
        Textured16(format, index, d, f, m, fill);
    } else if ((index & 48) == 48) {
        AdditiveColorFill32(index, d, f, m, fill);
    } else {
        Textured32(index, d, f, m, fill);
    }
}

uint32_t ReadPixel(TargetFormat format, const RasterTarget& t, int64_t x, int64_t y)
{
    size_t at = static_cast<size_t>(y) * t.pitch + static_cast<size_t>(x);
    return format == TargetFormat::ARGB8888 ? static_cast<uint32_t*>(t.pixels)[at]
                                            : static_cast<uint16_t*>(t.pixels)[at];
}

void WritePixel(TargetFormat format, const RasterTarget& t, int64_t x, int64_t y, uint32_t value)
{
    size_t at = static_cast<size_t>(y) * t.pitch + static_cast<size_t>(x);
    if (format == TargetFormat::ARGB8888) {
        static_cast<uint32_t*>(t.pixels)[at] = value;
    } else {
        static_cast<uint16_t*>(t.pixels)[at] = static_cast<uint16_t>(value);
    }
}

} // namespace

uint32_t Channel(uint32_t c, int shift)
{
    return (c >> shift) & 0xFF;
}

uint32_t Blend32(uint32_t s, uint32_t d, uint32_t w)
{
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        out |= (((Channel(s, shift) * w) >> 8) + ((Channel(d, shift) * (255 - w)) >> 8)) << shift;
    }
    return out;
}

uint32_t Weighted32(uint32_t s, uint32_t w)
{
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        out |= ((Channel(s, shift) * w) >> 8) << shift;
    }
    return out;
}

uint32_t Modulate32(uint32_t s, uint32_t kr, uint32_t kg, uint32_t kb)
{
    return (((Channel(s, 16) * kr) >> 8) << 16) | (((Channel(s, 8) * kg) >> 8) << 8) |
           ((Channel(s, 0) * kb) >> 8);
}

uint32_t AddSat32(uint32_t d, uint32_t s)
{
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        out |= std::min<uint32_t>(255, Channel(d, shift) + Channel(s, shift)) << shift;
    }
    return out;
}

uint32_t Pack16(TargetFormat format, uint32_t c)
{
    Layout l = LayoutOf(format);
    return ((Channel(c, 16) >> (8 - l.red.bits)) << l.red.shift) |
           ((Channel(c, 8) >> (8 - l.green.bits)) << l.green.shift) |
           ((Channel(c, 0) >> (8 - l.blue.bits)) << l.blue.shift);
}

uint32_t Blend16(TargetFormat format, uint32_t c, uint32_t a, uint32_t d)
{
    Layout l = LayoutOf(format);
    uint32_t w = (255 - a) >> 3;
    uint32_t out = 0;
    const std::pair<Field, int> fields[] = {{l.red, 16}, {l.green, 8}, {l.blue, 0}};
    for (auto [field, shift] : fields) {
        uint32_t value =
            (((Channel(c, shift) * a) >> 8) >> (8 - field.bits)) + ((FieldOf(d, field) * w) >> 5);
        out |= value << field.shift;
    }
    return out;
}

uint32_t AddSat16(TargetFormat format, uint32_t d, uint32_t s)
{
    Layout l = LayoutOf(format);
    uint32_t out = 0;
    for (Field field : {l.red, l.green, l.blue}) {
        out |= std::min(Max(field), FieldOf(d, field) + FieldOf(s, field)) << field.shift;
    }
    return out;
}

void DrawTriangle(TargetFormat format, uint32_t index, const RasterVertex* vertices,
                  const RasterTarget& target, const RasterTexture& texture, const RasterColor& modulation,
                  const RasterColor& fill)
{
    const bool textured = index & 8;
    const bool gouraud = index & 2;
    const bool modulate = index & 1;
    RasterVertex v[3] = {vertices[0], vertices[1], vertices[2]};
    if (!textured && gouraud && modulate) {
        for (RasterVertex& p : v) {
            p.a = static_cast<int32_t>((static_cast<uint32_t>(p.a) * modulation.a) >> 8);
            p.r = static_cast<int32_t>((static_cast<uint32_t>(p.r) * modulation.r) >> 8);
            p.g = static_cast<int32_t>((static_cast<uint32_t>(p.g) * modulation.g) >> 8);
            p.b = static_cast<int32_t>((static_cast<uint32_t>(p.b) * modulation.b) >> 8);
        }
    }
    // Sort by y, equal values keeping their order.
    if (v[0].y > v[1].y) {
        std::swap(v[0], v[1]);
    }
    if (v[1].y > v[2].y) {
        std::swap(v[1], v[2]);
    }
    if (v[0].y > v[1].y) {
        std::swap(v[0], v[1]);
    }
    const RasterVertex &top = v[0], &mid = v[1], &bot = v[2];
    const int64_t yTop = Ceil(top.y), yMid = Ceil(mid.y), yEnd = Ceil(bot.y);
    if (yTop >= yEnd) {
        return;
    }
    const int64_t one48 = int64_t(1) << 48;
    const int64_t recipLong = one48 / (int64_t(bot.y) - top.y);
    const int64_t slopeLong = Wrap(Mul(recipLong, int64_t(bot.x) - top.x) >> 32);
    const int64_t xm = Wrap(top.x + (Mul(slopeLong, int64_t(mid.y) - top.y) >> 16));
    if (xm == mid.x) {
        return;
    }
    const bool longLeft = xm < mid.x;
    int64_t stepLong[6], stepX[6], startLong[6];
    const int64_t recipW = one48 / (int64_t(mid.x) - xm);
    for (int i = 0; i < 6; ++i) {
        stepLong[i] = Wrap(Mul(recipLong, int64_t(FieldValue(bot, i)) - FieldValue(top, i)) >> 32);
        int64_t delta = int64_t(FieldValue(mid, i)) - FieldValue(top, i) -
                        (Mul(stepLong[i], int64_t(mid.y) - top.y) >> 16);
        stepX[i] = Wrap(Mul(delta, recipW) >> 32);
    }
    const int64_t p = (yTop << 16) - top.y;
    const int64_t xLong0 = Wrap(top.x + (Mul(slopeLong, p) >> 16));
    for (int i = 0; i < 6; ++i) {
        startLong[i] = Wrap(FieldValue(top, i) + (Mul(stepLong[i], p) >> 16));
    }
    const int32_t minX = std::min({v[0].x, v[1].x, v[2].x});
    const int32_t maxX = std::max({v[0].x, v[1].x, v[2].x});
    const int64_t lo = std::max<int64_t>(0, minX >> 16);
    const int64_t hi = std::min<int64_t>(target.width, Ceil(maxX) + 1);

    for (int64_t y = yTop; y < yEnd; ++y) {
        const int64_t rowsDone = y - yTop;
        const int64_t xLong = Wrap(xLong0 + Mul(slopeLong, rowsDone));
        int64_t xShort;
        if (y < yMid) {
            int64_t slope = Wrap(Mul(one48 / (int64_t(mid.y) - top.y), int64_t(mid.x) - top.x) >> 32);
            xShort = Wrap(Wrap(top.x + (Mul(slope, p) >> 16)) + Mul(slope, rowsDone));
        } else {
            int64_t slope = Wrap(Mul(one48 / (int64_t(bot.y) - mid.y), int64_t(bot.x) - mid.x) >> 32);
            xShort = Wrap(Wrap(mid.x + (Mul(slope, (yMid << 16) - mid.y) >> 16)) + Mul(slope, y - yMid));
        }
        if (y < 0 || y >= target.height) {
            continue;
        }
        int64_t first = Ceil(longLeft ? xLong : xShort);
        int64_t end = Ceil(longLeft ? xShort : xLong);
        first = std::max(first, lo);
        end = std::min(end, hi);
        for (int64_t x = first; x < end; ++x) {
            int64_t value[6];
            for (int i = 0; i < 6; ++i) {
                int64_t onLong = Wrap(startLong[i] + Mul(stepLong[i], rowsDone));
                int64_t atFirst = Wrap(onLong + (Mul(stepX[i], (first << 16) - xLong) >> 16));
                value[i] = Wrap(atFirst + Mul(stepX[i], x - first));
            }
            uint32_t d = ReadPixel(format, target, x, y);
            if (!textured) {
                uint32_t A, R, G, B;
                if (gouraud) {
                    A = Clamp816(int32_t(value[0]));
                    R = Clamp816(int32_t(value[1]));
                    G = Clamp816(int32_t(value[2]));
                    B = Clamp816(int32_t(value[3]));
                } else {
                    A = modulate ? (fill.a * modulation.a) >> 8 : fill.a;
                    R = modulate ? (fill.r * modulation.r) >> 8 : fill.r;
                    G = modulate ? (fill.g * modulation.g) >> 8 : fill.g;
                    B = modulate ? (fill.b * modulation.b) >> 8 : fill.b;
                }
                WritePixel(format, target, x, y, ShadeUntextured(format, d, A, R, G, B));
                continue;
            }
            Fragment f{};
            uint32_t u = static_cast<uint32_t>(value[4]), vv = static_cast<uint32_t>(value[5]);
            uint32_t row = (vv & texture.vMask) >> texture.rowShift;
            uint32_t column = (u >> 16) & (texture.uMask >> 16);
            f.texel = texture.texels[row + column];
            f.ia = Clamp816(int32_t(value[0]));
            f.ir = Clamp816(int32_t(value[1]));
            f.ig = Clamp816(int32_t(value[2]));
            f.ib = Clamp816(int32_t(value[3]));
            ShadeTextured(format, index, d, f, modulation, fill);
            WritePixel(format, target, x, y, d);
        }
    }
}

void DrawSpan(TargetFormat format, uint32_t index, void* destination, const uint32_t* source, int32_t count,
              const RasterColor& modulation, const RasterColor& fill)
{
    const bool alpha = index & 4;
    const bool modulate = index & 1;
    const bool colorFill = index & 16;
    const bool additive = index & 32;
    const bool wide = format == TargetFormat::ARGB8888;
    for (int32_t i = 0; i < count; ++i) {
        uint32_t s = source[i];
        uint32_t d = wide ? static_cast<uint32_t*>(destination)[i] : static_cast<uint16_t*>(destination)[i];
        uint32_t sa = s >> 24;
        uint32_t p = colorFill ? ((s & 0xFF000000) | FillRGB(fill)) : s;
        if (alpha && sa <= 8) {
            continue;
        }
        if (modulate) {
            p = Modulate32(p, modulation.r, modulation.g, modulation.b);
        }
        uint32_t v;
        if (!alpha && !modulate) {
            v = wide ? p : Pack16(format, p);
        } else {
            uint32_t a = alpha && modulate ? (modulation.a * sa) >> 8
                         : alpha           ? sa
                                           : (modulation.a * 255) >> 8;
            if (a >= 240) {
                v = wide ? p : Pack16(format, p);
            } else {
                v = wide ? Blend32(p, d, a) : Blend16(format, p, a, d);
            }
        }
        uint32_t out = additive ? (wide ? AddSat32(d, v) : AddSat16(format, d, v)) : v;
        if (wide) {
            static_cast<uint32_t*>(destination)[i] = out;
        } else {
            static_cast<uint16_t*>(destination)[i] = static_cast<uint16_t>(out);
        }
    }
}

} // namespace Reference
