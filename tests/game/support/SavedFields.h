#pragma once
// Pins a saved record's layout field by field: a blank object (every saved
// field 0) with one field set to a value that names its offset must write
// exactly that value's bytes there and change nothing else.

#include "game/GameTypes.h"

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <variant>
#include <vector>

namespace SavedFields {

template <typename T>
using Field = std::variant<float& (*)(T&), int32_t& (*)(T&), bool& (*)(T&), LevelType& (*)(T&)>;

template <typename T> struct Entry
{
    int offset; // from the start of the record
    Field<T> field;
};

// Sets the field to 0 (blank) or to its marker, and puts the bytes the
// record must hold for it into "bytes" at its offset.
template <typename T> void Set(const Entry<T>& entry, bool blank, T& object, std::vector<uint8_t>& bytes)
{
    auto put = [&](const auto& value) { std::memcpy(bytes.data() + entry.offset, &value, sizeof value); };
    std::visit(
        [&](auto get) {
            using Value = std::remove_reference_t<decltype(get(object))>;
            if constexpr (std::is_same_v<Value, bool>) {
                get(object) = !blank;
                put(static_cast<uint8_t>(blank ? 0 : 1));
            } else if constexpr (std::is_same_v<Value, float>) {
                const float value = blank ? 0.0f : 1000.0f + static_cast<float>(entry.offset);
                get(object) = value;
                put(value);
            } else {
                const int32_t value = blank ? 0 : 0x01020300 + entry.offset;
                get(object) = static_cast<Value>(value);
                put(value);
            }
        },
        entry.field);
}

// The record "save" writes of a fresh object (from "make") whose fields are
// all blank but "marked"; "expected" receives the bytes it must hold.
template <typename T, typename Make, typename Save>
std::vector<uint8_t> WriteMarked(const std::vector<Entry<T>>& entries, const Entry<T>& marked, Make make,
                                 Save save, std::vector<uint8_t>& expected)
{
    auto object = make();
    for (const Entry<T>& entry : entries)
        Set(entry, true, *object, expected);
    Set(marked, false, *object, expected);
    return save(*object);
}

} // namespace SavedFields
