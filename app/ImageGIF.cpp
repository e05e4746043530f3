#include "app/Image.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Reads bytes from a buffer; running past its end sets the failed flag and
// yields zeros, so a cut-off file is noticed where it matters.
class ByteReader
{
  public:
    ByteReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

    bool AtEnd() const { return mPosition >= mSize; }
    bool Failed() const { return mFailed; }
    uint8_t Byte()
    {
        if (mPosition >= mSize) {
            mFailed = true;
            return 0;
        }
        return mData[mPosition++];
    }
    uint16_t U16()
    {
        const uint16_t low = Byte();
        return uint16_t(low | (Byte() << 8));
    }
    bool Read(uint8_t* out, size_t count)
    {
        if (mSize - mPosition < count || mPosition > mSize) {
            mFailed = true;
            mPosition = mSize;
            return false;
        }
        std::memcpy(out, mData + mPosition, count);
        mPosition += count;
        return true;
    }
    // Data sub-blocks up to the terminating empty one (or the end of data).
    void SkipSubBlocks()
    {
        while (!AtEnd()) {
            const uint8_t size = Byte();
            if (size == 0) {
                return;
            }
            uint8_t block[255];
            if (!Read(block, size)) {
                return;
            }
        }
    }

  private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPosition = 0;
    bool mFailed = false;
};

// A colour table always has 256 entries: indexes beyond the file's table
// are opaque black rather than whatever memory follows it.
using ColorTable = std::array<uint32_t, 256>;

bool ReadColorTable(ByteReader& reader, uint8_t packed, ColorTable& table)
{
    table.fill(0xFF000000u);
    const int count = 1 << ((packed & 7) + 1);
    for (int i = 0; i < count; ++i) {
        uint8_t rgb[3];
        if (!reader.Read(rgb, 3)) {
            return false;
        }
        table[size_t(i)] = 0xFF000000u | uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
    }
    return true;
}

// Pulls the variable-length LZW codes out of the image's data sub-blocks,
// least significant bit first.
class CodeReader
{
  public:
    explicit CodeReader(ByteReader& reader) : mReader(reader) {}

    bool Next(int codeSize, int& code)
    {
        while (mBits < codeSize) {
            int byte = 0;
            if (!NextByte(byte)) {
                return false;
            }
            mAccumulator |= uint32_t(byte) << mBits;
            mBits += 8;
        }
        code = int(mAccumulator & ((1u << codeSize) - 1));
        mAccumulator >>= codeSize;
        mBits -= codeSize;
        return true;
    }
    // After the image: the rest of its sub-blocks, so the next block is found.
    void Finish()
    {
        if (!mEnded) {
            mReader.SkipSubBlocks();
        }
    }

  private:
    bool NextByte(int& byte)
    {
        if (mEnded) {
            return false;
        }
        if (mBlockLeft == 0) {
            mBlockLeft = mReader.AtEnd() ? 0 : mReader.Byte();
            if (mBlockLeft < 1) {
                mEnded = true;
                return false;
            }
        }
        byte = mReader.Byte();
        --mBlockLeft;
        if (mReader.Failed()) {
            mEnded = true;
            return false;
        }
        return true;
    }

    ByteReader& mReader;
    uint32_t mAccumulator = 0;
    int mBits = 0;
    int mBlockLeft = 0;
    bool mEnded = false;
};

// The LZW string table and output stack of one image.
class LzwDecoder
{
  public:
    LzwDecoder(CodeReader& codes, int minimumCodeSize)
        : mCodes(codes), mMinimum(minimumCodeSize), mClear(1 << minimumCodeSize), mEnd(mClear + 1)
    {
        for (int i = 0; i < mClear; ++i) {
            mSuffix[size_t(i)] = uint8_t(i);
        }
        Reset();
    }

    // The next colour index, false once the data stops.
    bool NextIndex(uint8_t& index)
    {
        while (mTop == 0) {
            if (mStopped || !Step()) {
                mStopped = true;
                return false;
            }
        }
        index = mStack[--mTop];
        return true;
    }

  private:
    static constexpr int kTableSize = 4096;

    void Reset()
    {
        mCodeSize = mMinimum + 1;
        mMask = (1 << mCodeSize) - 1;
        mNext = mClear + 2;
        mOld = -1;
    }

    bool Push(uint8_t value)
    {
        if (mTop >= mStack.size()) {
            return false;
        }
        mStack[mTop++] = value;
        return true;
    }

    bool Step()
    {
        int code = 0;
        if (!mCodes.Next(mCodeSize, code) || code > mNext || code == mEnd) {
            return false;
        }
        if (code == mClear) {
            Reset();
            return true;
        }
        if (mOld == -1) {
            // Only a root code can start a string; anything else is damage.
            if (code >= mClear) {
                return false;
            }
            mOld = code;
            mFirst = mSuffix[size_t(code)];
            return Push(mFirst);
        }
        return Expand(code);
    }

    bool Expand(int code)
    {
        const int in = code;
        if (code >= mNext) {
            if (!Push(mFirst)) {
                return false;
            }
            code = mOld;
        }
        while (code >= mClear) {
            if (!Push(mSuffix[size_t(code)])) {
                return false;
            }
            code = mPrefix[size_t(code)];
        }
        mFirst = mSuffix[size_t(code)];
        if (mNext >= kTableSize) {
            return false;
        }
        if (!Push(mFirst)) {
            return false;
        }
        mPrefix[size_t(mNext)] = uint16_t(mOld);
        mSuffix[size_t(mNext)] = mFirst;
        ++mNext;
        if ((mNext & mMask) == 0 && mNext < kTableSize) {
            ++mCodeSize;
            mMask = mMask * 2 + 1;
        }
        mOld = in;
        return true;
    }

    CodeReader& mCodes;
    int mMinimum;
    int mClear;
    int mEnd;
    int mCodeSize = 0;
    int mMask = 0;
    int mNext = 0;
    int mOld = -1;
    uint8_t mFirst = 0;
    bool mStopped = false;
    std::array<uint16_t, kTableSize> mPrefix{};
    std::array<uint8_t, kTableSize> mSuffix{};
    std::array<uint8_t, kTableSize + 1> mStack{};
    size_t mTop = 0;
};

struct Frame
{
    int width = 0;
    int height = 0;
    bool interlaced = false;
};

// Rows in file order: straight down, or the four interlace passes.
class RowOrder
{
  public:
    RowOrder(int height, bool interlaced) : mHeight(height), mInterlaced(interlaced) { Skip(); }
    bool Done() const { return mPass >= 4; }
    int Row() const { return mRow; }
    void Advance()
    {
        mRow += mInterlaced ? kSteps[mPass] : 1;
        Skip();
    }

  private:
    static constexpr int kStarts[4] = {0, 4, 2, 1};
    static constexpr int kSteps[4] = {8, 8, 4, 2};

    void Skip()
    {
        while (mRow >= mHeight && mPass < 4) {
            ++mPass;
            if (!mInterlaced || mPass >= 4) {
                mPass = 4;
                return;
            }
            mRow = kStarts[mPass];
        }
    }

    int mHeight;
    bool mInterlaced;
    int mPass = 0;
    int mRow = 0;
};

// The colours one image's data yields, in file order. Only what the data
// reaches is kept, so a frame costs what its data holds, not its declared
// size: a small file of many huge frames stays cheap.
std::vector<uint32_t> DecodeFrame(ByteReader& reader, const Frame& frame, const ColorTable& table, int transparent,
                                  bool& damaged)
{
    std::vector<uint32_t> colors;
    const int minimumCodeSize = reader.Byte();
    if (reader.Failed() || minimumCodeSize < 1 || minimumCodeSize > 11) {
        damaged = true;
        return colors;
    }
    const size_t total = size_t(frame.width) * size_t(frame.height);
    CodeReader codes(reader);
    auto lzw = std::make_unique<LzwDecoder>(codes, minimumCodeSize);
    uint8_t index = 0;
    while (colors.size() < total && lzw->NextIndex(index)) {
        colors.push_back(index == transparent ? 0u : table[index]);
    }
    codes.Finish();
    return colors;
}

// The frame's picture: the colours laid along its rows in file order;
// pixels the data did not reach stay 0.
uint32_t* LayOutFrame(const Frame& frame, const std::vector<uint32_t>& colors)
{
    auto* pixels = new uint32_t[size_t(frame.width) * size_t(frame.height)]();
    const size_t width = size_t(frame.width);
    size_t next = 0;
    for (RowOrder rows(frame.height, frame.interlaced); !rows.Done() && next < colors.size(); rows.Advance()) {
        const size_t count = std::min(width, colors.size() - next);
        std::copy_n(colors.begin() + long(next), count, pixels + size_t(rows.Row()) * width);
        next += count;
    }
    return pixels;
}

void SkipExtension(ByteReader& reader, int& transparent)
{
    const uint8_t label = reader.Byte();
    if (label != 0xF9) {
        reader.SkipSubBlocks();
        return;
    }
    uint8_t data[4] = {0, 0, 0, 0};
    size_t have = 0;
    while (!reader.AtEnd()) {
        const uint8_t size = reader.Byte();
        if (size == 0) {
            break;
        }
        uint8_t block[255];
        if (!reader.Read(block, size)) {
            return;
        }
        for (size_t i = 0; i < size && have < 4; ++i) {
            data[have++] = block[i];
        }
    }
    if (have == 4 && (data[0] & 1) != 0) {
        transparent = data[3];
    }
}

} // namespace

void Image::DecodeGIF(const uint8_t* data, size_t size)
{
    Free();
    ByteReader reader(data, size);
    uint8_t signature[6];
    if (!reader.Read(signature, 6) ||
        (std::memcmp(signature, "GIF87", 5) != 0 && std::memcmp(signature, "GIF89", 5) != 0)) {
        return;
    }
    reader.U16();
    reader.U16();
    const uint8_t screenFlags = reader.Byte();
    reader.Byte();
    reader.Byte();
    ColorTable global;
    global.fill(0xFF000000u);
    if (reader.Failed() || ((screenFlags & 0x80) != 0 && !ReadColorTable(reader, screenFlags, global))) {
        return;
    }
    int transparent = -1;
    // Every frame is decoded; the last one is the picture.
    Frame last;
    std::vector<uint32_t> lastColors;
    while (!reader.AtEnd()) {
        const uint8_t introducer = reader.Byte();
        if (introducer == 0x3B) {
            break;
        }
        if (introducer == 0x21) {
            SkipExtension(reader, transparent);
            continue;
        }
        if (introducer != 0x2C) {
            continue;
        }
        reader.U16();
        reader.U16();
        Frame frame;
        frame.width = reader.U16();
        frame.height = reader.U16();
        const uint8_t flags = reader.Byte();
        frame.interlaced = (flags & 0x40) != 0;
        ColorTable local = global;
        if (reader.Failed() || ((flags & 0x80) != 0 && !ReadColorTable(reader, flags, local)) ||
            !IsSizeAcceptable(frame.width, frame.height)) {
            return;
        }
        bool damaged = false;
        lastColors = DecodeFrame(reader, frame, local, transparent, damaged);
        if (damaged) {
            return;
        }
        last = frame;
    }
    if (last.width > 0) {
        AdoptPixels(LayOutFrame(last, lastColors), last.width, last.height);
    }
}
