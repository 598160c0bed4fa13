// Integer bit operations.
#pragma once

#include <cstdint>
#include <initializer_list>

constexpr int32_t BitAnd(std::initializer_list<int32_t> values) {
    int32_t result = -1;
    for (int32_t value : values)
        result &= value;
    return values.size() ? result : 0;
}

constexpr int32_t BitOr(std::initializer_list<int32_t> values) {
    int32_t result = 0;
    for (int32_t value : values)
        result |= value;
    return result;
}

constexpr int32_t BitNot(int32_t value) {
    return ~value;
}

// Only the low five bits of the count are used.
constexpr int32_t ShiftLeft(int32_t value, int32_t count) {
    return static_cast<int32_t>(static_cast<uint32_t>(value) << (count & 31));
}

// Arithmetic: the sign bit is copied in.
constexpr int32_t ShiftRight(int32_t value, int32_t count) {
    return value >> (count & 31);
}

// High 16 bits from `high`, low 16 bits from `low`.
constexpr int32_t MakeLong(int32_t low, int32_t high) {
    return static_cast<int32_t>((static_cast<uint32_t>(high) << 16) |
                                (static_cast<uint32_t>(low) & 0xFFFFu));
}
