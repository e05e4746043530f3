#include "app/VertexBuffer2D.h"

#include "app/Graphics.h"

#include <new>

namespace {
constexpr uint32_t kFVFPosition = 0x002;
constexpr uint32_t kFVFDiffuse = 0x040;
constexpr uint32_t kFVFTexturePair = 0x100;
} // namespace

VertexBuffer2D::~VertexBuffer2D()
{
    Release();
}

uint32_t VertexBuffer2D::GetStride() const
{
    uint32_t stride = 0;
    if (mVertexFormat & kFVFPosition) {
        stride += 12;
    }
    if (mVertexFormat & kFVFDiffuse) {
        stride += 4;
    }
    if (mVertexFormat & kFVFTexturePair) {
        stride += 8;
    }
    return stride;
}

void VertexBuffer2D::Create(uint32_t count, bool deviceBuffer)
{
    (void)deviceBuffer;
    Release();
    mCount = count;
    // Sized by the format's stride: coloured vertices are 24 bytes, not 20.
    const uint64_t bytes = static_cast<uint64_t>(count) * GetStride();
    if (bytes > 0xFFFFFFFFull || bytes == 0) {
        return;
    }
    mVertices.reset(new (std::nothrow) uint8_t[bytes]());
}

void VertexBuffer2D::Release()
{
    mVertices.reset();
}
