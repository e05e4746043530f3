#pragma once

#include "app/String.h"

#include <cstdint>
#include <string>
#include <vector>

// A whole file in memory with a read/write cursor. Its rules are the binary
// conventions of every binary file the program writes: little-endian int32
// and float32, one-byte booleans (1 or 0), raw byte runs, and strings as an
// int32 length counting the terminating NUL followed by the text and the
// NUL; no header, no padding. An optional key XORs the whole file on load
// and save.
class IOBuffer
{
  public:
    IOBuffer() = default;
    IOBuffer(const IOBuffer&) = delete;
    IOBuffer& operator=(const IOBuffer&) = delete;

    // A file that cannot be read leaves the buffer empty (false). One that
    // is there but cannot be read is told, and kept: see FileProblems.
    bool Load(const String& path);
    // Replaces the file whole (the old file survives a failed write). False
    // when nothing could be written, including when no path is given, and
    // when a file that cannot be read is there, or was in this run: it is
    // kept. A failed write is told.
    bool Save(const String& path) const;
    void SetKey(const char* key);

    void WriteInt(int32_t value);
    void WriteFloat(float value);
    void WriteChar(uint8_t value);
    // Writes 1 only for exactly 1.
    void WriteBool(int value);
    void WriteBytes(const void* source, int32_t count);
    void WriteString(const String& text);

    // A partial value gives 0 and sets the error flag; a read exactly at the
    // end gives 0 without setting it. Once the flag is set, reads give 0.
    int32_t ReadInt();
    float ReadFloat();
    // True only for a byte of exactly 1.
    bool ReadBool();
    // Not enough bytes left: "destination" is zero-filled and the error flag
    // set, the cursor stays.
    void ReadBytes(void* destination, int32_t count);
    // A length below 1 or beyond the bytes left sets the error flag and gives
    // an empty String.
    String ReadString();
    // Up to a CR, which is consumed; LF bytes are dropped wherever they are.
    String ReadLine();
    // Up to a ';' outside quotes, with leading blanks skipped, runs of blanks
    // outside quotes folded to one and control bytes dropped.
    String ReadStatement();

    // Makes room for "count" bytes at the cursor; no spare capacity.
    void Grow(int32_t count);

    const uint8_t* GetData() const { return data.data(); }
    int32_t GetSize() const { return int32_t(data.size()); }
    int32_t GetCursor() const { return cursor; }
    bool HasError() const { return error; }

  private:
    bool ReadRaw(void* destination, int32_t count);
    int32_t BytesLeft() const { return GetSize() - cursor; }
    void ApplyKey(std::vector<uint8_t>& bytes) const;

    std::vector<uint8_t> data;
    int32_t cursor = 0;
    std::string key;
    bool error = false;
};
