#include "tools/assetgen/GifWriter.h"

#include <algorithm>

namespace AssetGen {
namespace {

constexpr int kMinCodeSize = 8;
constexpr int kClear = 1 << kMinCodeSize;
// The game's reader stops once its table is full; clear well before that.
constexpr int kTableLimit = 4000;

class BitPacker
{
  public:
    void Put(int code, int size)
    {
        mAccumulator |= uint32_t(code) << mBits;
        mBits += size;
        while (mBits >= 8) {
            mBytes.push_back(uint8_t(mAccumulator & 255));
            mAccumulator >>= 8;
            mBits -= 8;
        }
    }
    std::vector<uint8_t> Finish()
    {
        if (mBits > 0)
            mBytes.push_back(uint8_t(mAccumulator & 255));
        return mBytes;
    }

  private:
    uint32_t mAccumulator = 0;
    int mBits = 0;
    std::vector<uint8_t> mBytes;
};

uint8_t Snap(uint8_t v)
{
    return uint8_t((v + 25) / 51);
}

void Put16(std::vector<uint8_t>& out, int v)
{
    out.push_back(uint8_t(v & 255));
    out.push_back(uint8_t(v >> 8));
}

} // namespace

std::vector<uint8_t> GifWriter::Compress(const std::vector<uint8_t>& indexes)
{
    // Dictionary as a child table: (prefix code, byte) -> code.
    std::vector<int> child(size_t(4096) * 256, -1);
    BitPacker bits;
    int size = kMinCodeSize + 1;
    int next = kClear + 2;
    bits.Put(kClear, size);
    int key = -1;
    for (uint8_t px : indexes) {
        if (key < 0) {
            key = px;
            continue;
        }
        int& slot = child[size_t(key) * 256 + px];
        if (slot >= 0) {
            key = slot;
            continue;
        }
        bits.Put(key, size);
        if (next < kTableLimit) {
            if (next == (1 << size))
                ++size;
            slot = next++;
        } else {
            bits.Put(kClear, size);
            std::fill(child.begin(), child.end(), -1);
            size = kMinCodeSize + 1;
            next = kClear + 2;
        }
        key = px;
    }
    if (key >= 0)
        bits.Put(key, size);
    bits.Put(kClear + 1, size);
    std::vector<uint8_t> packed = bits.Finish();

    std::vector<uint8_t> out{uint8_t(kMinCodeSize)};
    for (size_t i = 0; i < packed.size(); i += 255) {
        size_t n = std::min<size_t>(255, packed.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), packed.begin() + long(i), packed.begin() + long(i + n));
    }
    out.push_back(0);
    return out;
}

std::vector<uint8_t> GifWriter::Encode(int width, int height, const std::vector<uint8_t>& rgba)
{
    std::vector<uint8_t> indexes(size_t(width) * height);
    for (size_t i = 0; i < indexes.size(); ++i) {
        const uint8_t* p = &rgba[i * 4];
        indexes[i] = p[3] < 128 ? 0 : uint8_t(1 + Snap(p[0]) * 36 + Snap(p[1]) * 6 + Snap(p[2]));
    }
    std::vector<uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
    Put16(out, width);
    Put16(out, height);
    out.insert(out.end(), {0xF7, 0, 0}); // global table of 256 entries
    for (int i = 0; i < 256; ++i) {
        int c = i - 1;
        bool used = i >= 1 && i <= 216;
        out.push_back(used ? uint8_t(c / 36 * 51) : 0);
        out.push_back(used ? uint8_t(c / 6 % 6 * 51) : 0);
        out.push_back(used ? uint8_t(c % 6 * 51) : 0);
    }
    out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, 0, 0}); // transparent index 0
    out.push_back(0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out.push_back(0);
    std::vector<uint8_t> data = Compress(indexes);
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(0x3B);
    return out;
}

} // namespace AssetGen
