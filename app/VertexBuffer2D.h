#pragma once

#include "app/GraphicDevice.h"

#include <cstdint>
#include <memory>

// A sprite's quads or strip as a vertex array in system memory.
class VertexBuffer2D : public GraphicDevice
{
  public:
    static constexpr int kStrip = 0;
    static constexpr int kList = 1;

    VertexBuffer2D() = default;
    ~VertexBuffer2D() override;

    // The flag asks for a device vertex buffer; the array is always in memory.
    void Create(uint32_t count, bool deviceBuffer = false);
    void* Lock() { return mVertices.get(); }
    void Unlock() {}
    void Release() override;
    void Restore() override {}

    // Bytes per vertex of the current format.
    uint32_t GetStride() const;

    uint32_t mCount = 0;
    uint32_t mVertexFormat = 0x102; // XYZ | TEX1
    int mPrimitive = kStrip;
    std::unique_ptr<uint8_t[]> mVertices;
};
