#include "app/Graphics.h"
#include "app/Line.h"
#include "app/Math.h"
#include "app/Sprite.h"
#include "app/Texture.h"

#include <algorithm>

void Sprite::DrawMatrix(const Matrix& m)
{
    PrepareDraw();
    if (!mLoaded) {
        return;
    }
    Graphics& g = theGraphics;
    g.SetSpriteMode();
    g.ApplyShader(mShader);
    g.SetWorldTransform(m);
    if (g.mSoftware) {
        const int left = int(m.m[12] - float(mWidth / 2));
        const int top = int(m.m[13] - float(mHeight / 2));
        if (mFastBlit) {
            g.BlitTextureSoftware(mTexture, left, top);
            return;
        }
        if (g.mSWHelper.IsTranslationOnly()) {
            BlitOpaqueRuns(left, top);
            return;
        }
    }
    const bool pointFilter = mPointFilter && !g.NeedsFiltering(&m);
    if (pointFilter) {
        g.PushFiltering();
        g.SetFiltering(false);
    }
    if (mTexture != nullptr) {
        g.DrawVertexBuffer(&mVertexBuffer, 4, 0);
    } else {
        for (size_t i = 0; i < mTiles.size(); ++i) {
            mShader.mTexture = mTiles[i]->texture;
            g.ApplyShader(mShader);
            g.DrawVertexBuffer(&mVertexBuffer, 4, int(4 * i));
        }
    }
    if (pointFilter) {
        g.PopFiltering();
    }
}

void Sprite::Draw(float x, float y)
{
    Matrix m;
    m.Translate(float(mWidth / 2) + x, float(mHeight / 2) + y, 0.0f);
    DrawMatrix(m);
}

void Sprite::DrawCentered(float x, float y)
{
    Matrix m;
    m.Translate(x, y, 0.0f);
    DrawMatrix(m);
}

void Sprite::DrawRotated(float x, float y, float degrees, float scale)
{
    Matrix m;
    if (degrees != 0.0f) {
        m.Rotate(degrees);
    }
    if (scale != 1.0f) {
        m.Scale(scale, scale, scale);
    }
    m.Translate(x, y, 0.0f);
    DrawMatrix(m);
}

void Sprite::DrawScaled(float x, float y, float scale)
{
    DrawRotated(x, y, 0.0f, scale);
}

void Sprite::DrawPartialX(float x, float y, float fraction, int side)
{
    Graphics& g = theGraphics;
    g.PushClip();
    const float w = float(mWidth);
    if (side > 0) {
        g.SetClipRect(float(int(x)), float(int(y)), float(int(fraction * w)), float(mHeight));
    } else if (side < 0) {
        g.SetClipRect(float(int((1.0f - fraction) * w) + int(x)), float(int(y)), float(int(w * fraction)),
                      float(mHeight));
    }
    Draw(float(int(x)), float(int(y)));
    g.PopClip();
}

void Sprite::DrawPartialY(float x, float y, float fraction, int side)
{
    Graphics& g = theGraphics;
    g.PushClip();
    const float h = float(mHeight);
    if (side > 0) {
        g.SetClipRect(float(int(x)), float(int(y)), float(mWidth), float(int(fraction * h)));
    } else if (side < 0) {
        g.SetClipRect(float(int(x)), float(int((1.0f - fraction) * h) + int(y)), float(mWidth),
                      float(int(h * fraction)));
    }
    Draw(x, y);
    g.PopClip();
}

namespace {

// The clock hand and the sprite's edges, centred on the origin.
struct PieFrame
{
    float w;
    float h;
    Line top, right, left, bottom;
    Line hand;

    PieFrame(int width, int height) : w(float(width)), h(float(height))
    {
        const float bx = -w * 0.5f;
        const float by = -h * 0.5f;
        top = Line(bx, by, bx + w, by);
        right = Line(bx + w, by, bx + w, by + h);
        left = Line(bx, by, bx, by + h);
        bottom = Line(bx, by + h, bx + w, by + h);
    }

    void SetHand(float degrees)
    {
        Point direction;
        Math::AngleToVector(degrees, direction);
        hand = Line(0, 0, w * direction.x, h * direction.y);
    }

    Point Hit(const Line& edge, Point fallback) const
    {
        Point where;
        return hand.Intersect(edge, &where) ? where : fallback;
    }
};

} // namespace

void Sprite::DrawPieQuarter(int quarter, float fraction, VertexBuffer2D& buffer)
{
    static const float kLimits[4] = {90.0f, 180.0f, 270.0f, 360.0f};
    PieFrame frame(mWidth, mHeight);
    frame.SetHand(std::min(fraction * 360.0f, kLimits[quarter]));
    const float halfW = float(mWidth / 2);
    const float halfH = float(mHeight / 2);
    const float exactW = frame.w / 2.0f;
    const float exactH = frame.h / 2.0f;
    Point p[4];
    switch (quarter) {
    case 0:
        p[0] = Point(0, -exactH);
        p[1] = frame.Hit(frame.top, Point(halfW, -halfH));
        p[2] = Point(0, 0);
        p[3] = frame.Hit(frame.right, p[1]);
        break;
    case 1:
        p[0] = Point(0, 0);
        p[1] = Point(exactW, 0);
        p[3] = frame.Hit(frame.right, Point(halfW, halfH));
        p[2] = frame.Hit(frame.bottom, p[3]);
        break;
    case 2:
        p[1] = Point(0, 0);
        p[2] = frame.Hit(frame.bottom, Point(-halfW, halfH));
        p[0] = frame.Hit(frame.left, p[2]);
        p[3] = Point(0, exactH);
        break;
    default:
        p[0] = frame.Hit(frame.left, Point(-halfW, -halfH));
        p[1] = frame.Hit(frame.top, p[0]);
        p[2] = Point(-exactW, 0);
        p[3] = Point(0, 0);
        break;
    }
    auto* v = static_cast<TexturedVertex*>(buffer.Lock());
    const Rect& uv = mSourceRect;
    for (int i = 0; i < 4; ++i) {
        const float u = uv.x + (p[i].x + exactW) / frame.w * (uv.w - uv.x);
        const float t = uv.y + (p[i].y + exactH) / frame.h * (uv.h - uv.y);
        v[i] = TexturedVertex{p[i].x, p[i].y, 0.0f, u, t};
    }
    buffer.Unlock();
    theGraphics.ApplyShader(mShader);
    theGraphics.DrawVertexBuffer(&buffer, 4, 0);
}

void Sprite::DrawPie(float x, float y, float fraction)
{
    if (fraction <= 0.0f) {
        return;
    }
    PrepareDraw();
    if (!mLoaded || mWidth <= 0 || mHeight <= 0) {
        return;
    }
    Graphics& g = theGraphics;
    g.SetSpriteMode();
    g.ApplyShader(mShader);
    Matrix m;
    m.Translate(x, y, 0.0f);
    g.SetWorldTransform(m);
    VertexBuffer2D buffer;
    buffer.Create(4);
    static const float kThresholds[4] = {0.0f, 0.25f, 0.5f, 0.75f};
    for (int quarter = 0; quarter < 4; ++quarter) {
        if (fraction > kThresholds[quarter]) {
            DrawPieQuarter(quarter, fraction, buffer);
        }
    }
}

namespace {

// The part of the render surface a sprite may write: the clip rectangle in
// screen pixels, never beyond the surface.
struct ScreenClip
{
    float minX, maxX, minY, maxY;
};

ScreenClip CurrentScreenClip(const Platform::SurfaceDesc& surface)
{
    const Graphics& g = theGraphics;
    const Rect& c = g.mClip;
    ScreenClip clip;
    clip.minX = float(std::max(0, int(c.x * g.mScaleX)));
    clip.maxX = float(std::min(int((c.x + c.w) * g.mScaleX), int(surface.width)));
    clip.minY = float(std::max(0, int(c.y * g.mScaleY)));
    clip.maxY = float(std::min(int((c.y + c.h) * g.mScaleY), int(surface.height)));
    return clip;
}

} // namespace

void Sprite::BlitOpaqueRuns(int x, int y)
{
    Graphics& g = theGraphics;
    Compatibility::SWHelper& sw = g.mSWHelper;
    const Platform::SurfaceDesc& surface = sw.GetSurfaceDesc();
    uint8_t* pixels = sw.GetPixels();
    const auto* texels = reinterpret_cast<const uint8_t*>(sw.GetTexels());
    if (pixels == nullptr || texels == nullptr || mOpaqueRuns.empty()) {
        return;
    }
    const int bpp = surface.format.bitsPerPixel == 32 ? 4 : 2;
    const float fx = g.mScaleX * (g.mTranslation.x + float(x) + 0.5f);
    const float fy = g.mScaleY * (g.mTranslation.y + float(y) + 0.5f);
    ScreenClip clip = CurrentScreenClip(surface);
    const float wS = float(int(float(mWidth) * g.mScale640));
    const float hS = float(int(float(mHeight) * g.mScale480));
    if (fy + hS < clip.minY || fy > clip.maxY || fx + wS < clip.minX || fx > clip.maxX) {
        return;
    }
    if (mInset) {
        const float x2 = float(int(g.mScaleX * (g.mTranslation.x + float(x + mWidth) + 0.5f)));
        const float y2 = float(int(g.mScaleY * (g.mTranslation.y + float(y + mHeight) + 0.5f)));
        clip.maxX = std::min(clip.maxX, x2);
        clip.maxY = std::min(clip.maxY, y2);
    }
    // Every run is clipped, also when the sprite looks wholly inside: a run
    // may otherwise end one column past the surface.
    for (const OpaqueRun& run : mOpaqueRuns) {
        float rx = fx + run.x;
        const float ry = fy + run.y;
        float length = float(run.length);
        uint32_t source = run.offset;
        if (ry < clip.minY || ry >= clip.maxY || rx + length < clip.minX || rx > clip.maxX) {
            continue;
        }
        if (rx < clip.minX) {
            const int cut = int(clip.minX - rx);
            length -= float(cut);
            source += uint32_t(4 * cut);
            rx = clip.minX;
        }
        if (rx + length > clip.maxX) {
            length -= float(int((rx + length) - clip.maxX));
        }
        const int count = std::min(int(length), int(surface.width) - int(rx));
        if (count < 1) {
            continue;
        }
        uint8_t* destination =
            pixels + size_t(int(ry)) * size_t(surface.pitch) + size_t(int(rx)) * size_t(bpp);
        sw.BlitSpan(destination, reinterpret_cast<const uint32_t*>(texels + source), count, run.opaque);
    }
}
