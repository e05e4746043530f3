#include "app/Graphics.h"

#include "app/Shader.h"
#include "app/Texture.h"
#include "app/VertexBuffer2D.h"

#include <cmath>
#include <type_traits>
#include <vector>

namespace {
ColoredVertex gRectVertices[4];

// The device's view of the current frame: logical coordinates through the
// view and projection matrices and the viewport, to back-buffer pixels.
class DeviceMapping
{
  public:
    DeviceMapping(const Matrix& view, const Matrix& projection, const Rect& viewport) : mViewport(viewport)
    {
        MatrixMultiply(mMatrix, view, projection);
    }

    Platform::RenderVertex Map(float x, float y, float z, uint32_t color, float u, float v) const
    {
        const float* m = mMatrix.m;
        float nx = x * m[0] + y * m[4] + z * m[8] + m[12];
        float ny = x * m[1] + y * m[5] + z * m[9] + m[13];
        const float w = x * m[3] + y * m[7] + z * m[11] + m[15];
        if (w != 0.0f && w != 1.0f) {
            nx /= w;
            ny /= w;
        }
        return Platform::RenderVertex{Snap((nx + 1.0f) * 0.5f * mViewport.w + mViewport.x),
                                      Snap((1.0f - ny) * 0.5f * mViewport.h + mViewport.y), color, u, v};
    }

  private:
    // Positions land on a 1/16-pixel grid, as the hardware rasterisers did,
    // so float error never moves an edge across a pixel.
    static float Snap(float value) { return std::round(value * 16.0f) / 16.0f; }

    Matrix mMatrix;
    Rect mViewport;
};

std::vector<Platform::RenderVertex>& DeviceVertices()
{
    static std::vector<Platform::RenderVertex> vertices;
    return vertices;
}
} // namespace

void Graphics::FillRect(float x, float y, float w, float h)
{
    if (mColor.a == 0.0f) {
        return;
    }
    const uint32_t c = PackColor(mColor);
    const float corners[4][2] = {{0, 0}, {w, 0}, {0, h}, {w, h}};
    for (int i = 0; i < 4; ++i) {
        gRectVertices[i] = ColoredVertex{corners[i][0], corners[i][1], 1.0f, c, 0.0f, 0.0f};
    }
    Matrix world;
    world.Translate(x, y, 0.0f);
    SetWorldTransform(world);
    SetSpriteMode();
    // Untextured fills show their vertex colours, not the material's.
    mLighting = false;
    ApplyShader(Shader(mColor));
    DrawColoredStrip(gRectVertices, 4);
    mLighting = true;
}

void Graphics::FillRectFromRect(const Rect& rect)
{
    FillRect(rect.x, rect.y, rect.w, rect.h);
}

void Graphics::DrawColoredStrip(const ColoredVertex* vertices, int count)
{
    if (mSoftware) {
        mSWHelper.DrawTriangleStrip(vertices, count, kFVFColored);
    } else if (mDevice) {
        DrawColoredStripClipped(mWorld, mClip, vertices, count);
    }
}

void Graphics::DrawVertexBuffer(VertexBuffer2D* buffer, int count, int start)
{
    if (!buffer || !buffer->mVertices || start < 0 || count <= 0) {
        return;
    }
    // Never past the end of the buffer's array.
    const uint32_t stride = sizeof(TexturedVertex);
    const uint64_t available = buffer->mCount * static_cast<uint64_t>(buffer->GetStride()) / stride;
    if (static_cast<uint64_t>(start) + count > available) {
        return;
    }
    if (mSoftware) {
        const auto* p = static_cast<const TexturedVertex*>(buffer->Lock()) + start;
        if (buffer->mPrimitive == VertexBuffer2D::kStrip) {
            mSWHelper.DrawTriangleStrip(p, count, kFVFTextured);
        } else if (buffer->mPrimitive == VertexBuffer2D::kList) {
            mSWHelper.DrawTriangleList(p, count, kFVFTextured);
        }
        buffer->Unlock();
        return;
    }
    if (!mDevice) {
        return;
    }
    const auto* p = reinterpret_cast<const TexturedVertex*>(buffer->mVertices.get()) + start;
    if (buffer->mPrimitive == VertexBuffer2D::kStrip) {
        DrawTexturedStripClipped(mWorld, mClip, p, count);
    } else if (buffer->mPrimitive == VertexBuffer2D::kList) {
        DrawTexturedListClipped(mWorld, mClip, p, count);
    }
}

void Graphics::BlitTextureSoftware(Texture* texture, int x, int y)
{
    if (mSoftware) {
        mSWHelper.BlitTexture(texture, x, y);
    }
}

uint8_t* Graphics::LockSurface(Platform::Surface* surface, bool wait, int* pitch)
{
    (void)wait; // memory surfaces lock at once
    if (mInvalidated) {
        RebuildDevice();
    }
    if (mRecoverPending) {
        RecoverDevices();
    }
    return surface ? surface->Lock(pitch) : nullptr;
}

void Graphics::UnlockSurface(Platform::Surface* surface)
{
    if (surface && !mRecoverPending && !mInvalidated) {
        surface->Unlock();
    }
}

// --- the device side of every draw ---

uint32_t Graphics::DeviceColor(uint32_t vertexColor, bool hasVertexColor) const
{
    if (mLighting) {
        // Lit drawing takes its colour from the material, as the device did.
        return PackColor(Color(mMaterial.diffuse).Clamp());
    }
    return hasVertexColor ? vertexColor : 0xFFFFFFFF;
}

void Graphics::PrepareDeviceDraw()
{
    mDevice->SetBlendMode(mAlphaBlendCache != 1 ? Platform::BlendMode::None
                          : mBlendMode == 1     ? Platform::BlendMode::Additive
                                                : Platform::BlendMode::Normal);
    mDevice->SetLinearFiltering(mFilterCache != 2);
    mDevice->SetTexture(mBoundSurface, mColorFill);
}

template <typename V> const Platform::RenderVertex* Graphics::ToDevice(const V* vertices, int count)
{
    const DeviceMapping mapping(mView, mProjection, mViewport);
    auto& out = DeviceVertices();
    out.resize(count);
    for (int i = 0; i < count; ++i) {
        const V& v = vertices[i];
        uint32_t color;
        if constexpr (std::is_same_v<V, ColoredVertex>) {
            color = DeviceColor(v.color, true);
        } else {
            color = DeviceColor(0, false);
        }
        out[i] = mapping.Map(v.x, v.y, v.z, color, v.u, v.v);
    }
    return out.data();
}

void Graphics::DrawDeviceStrip(const ColoredVertex* v, int count)
{
    if (!mDevice) {
        return;
    }
    PrepareDeviceDraw();
    mDevice->DrawTriangleStrip(ToDevice(v, count), count);
}

void Graphics::DrawDeviceStrip(const TexturedVertex* v, int count)
{
    if (!mDevice) {
        return;
    }
    PrepareDeviceDraw();
    mDevice->DrawTriangleStrip(ToDevice(v, count), count);
}

void Graphics::DrawDeviceList(const TexturedVertex* v, int count)
{
    if (!mDevice) {
        return;
    }
    PrepareDeviceDraw();
    mDevice->DrawTriangleList(ToDevice(v, count), count);
}

void Graphics::DrawDeviceFan(const ColoredVertex* v, int count)
{
    if (!mDevice) {
        return;
    }
    PrepareDeviceDraw();
    mDevice->DrawTriangleFan(ToDevice(v, count), count);
}

void Graphics::DrawDeviceFan(const TexturedVertex* v, int count)
{
    if (!mDevice) {
        return;
    }
    PrepareDeviceDraw();
    mDevice->DrawTriangleFan(ToDevice(v, count), count);
}
