// Values of every kind the runtime converts: to text, to an integer, and out of a block.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <variant>

#include "runtime/errors.h"
#include "runtime/text.h"

// A date-time: whole days since 30 December 1899, the fraction being the time of day
// (the OLE automation date).
struct DateTime {
    double days = 0;
};

// The address of a function, held as a value.
struct FunctionReference {
    const void* address = nullptr;
};

// The kinds, in the order of Value's alternatives.
enum class ValueKind {
    kBoolean,
    kDateTime,
    kText,
    kBlock,
    kInteger,
    kFunctionReference,
    kByte,
    kShort,
    kLong,
    kFloat,
    kDouble,
    kByteArray,
    kShortArray,
    kIntegerArray,
    kLongArray,
};

class Value {
  public:
    using Storage =
        std::variant<bool, DateTime, Text, TextBlock, int32_t, FunctionReference, uint8_t, int16_t,
                     int64_t, float, double, ByteArray, ShortArray, IntegerArray, LongArray>;

    // One constructor per kind; any other type is refused at compile time rather than
    // converted to a kind by surprise (a pointer to a boolean, say).
    Value(bool value) : storage_(value) {}
    Value(DateTime value) : storage_(value) {}
    Value(Text value) : storage_(std::move(value)) {}
    Value(const char* text) : storage_(Text(text)) {}
    Value(char* text) : storage_(Text(text)) {}
    Value(TextBlock value) : storage_(std::move(value)) {}
    Value(int32_t value) : storage_(value) {}
    Value(long value) : storage_(static_cast<int32_t>(value)) {}  // LONG: 32 bits on Windows
    Value(FunctionReference value) : storage_(value) {}
    Value(uint8_t value) : storage_(value) {}
    Value(int16_t value) : storage_(value) {}
    Value(int64_t value) : storage_(value) {}
    Value(float value) : storage_(value) {}
    Value(double value) : storage_(value) {}
    Value(ByteArray value) : storage_(std::move(value)) {}
    Value(ShortArray value) : storage_(std::move(value)) {}
    Value(IntegerArray value) : storage_(std::move(value)) {}
    Value(LongArray value) : storage_(std::move(value)) {}
    template <class T>
    Value(T) = delete;

    ValueKind Kind() const { return static_cast<ValueKind>(storage_.index()); }
    template <class T>
    bool Holds() const {
        return std::holds_alternative<T>(storage_);
    }
    // The value as T; a value of another kind is fatal error 2 (with the location of the
    // read when one is given).
    template <class T>
    const T& As() const {
        if (!Holds<T>())
            FatalError(kNumberExpected);
        return std::get<T>(storage_);
    }
    template <class T>
    const T& As(ErrorLocation where) const {
        if (!Holds<T>())
            FatalError(kNumberExpected, where);
        return std::get<T>(storage_);
    }
    const Storage& Stored() const { return storage_; }

  private:
    Storage storage_;
};

// Boolean "真"/"假"; date-time "2024年1月5日13时4分"; a text as itself (missing when
// empty); a block or an integer array its bytes up to the first zero byte; integers in
// decimal (a byte unsigned); float and double as "%f", without trailing zeros and
// without a point that nothing follows.
Text ValueToText(const Value& value);

// Integers, booleans and function references as their value (bytes unsigned, 16-bit values
// sign-extended, 64-bit values cut to their low 32 bits); floats, doubles and date-times
// truncated toward zero to 64 bits and cut, 0 beyond the 64-bit range; a text read as a
// decimal integer after full-width digits, signs, "／" and "＼" are made half-width (no
// digits: 0, beyond the 32-bit range: the nearest limit); blocks and arrays 0.
int32_t ValueToInteger(const Value& value);

// The kinds a block holds, with their widths.
enum BlockValueKind : int32_t {
    kBlockByte = 1,               // 1 byte
    kBlockShort = 2,              // 2 bytes
    kBlockInteger = 3,            // 4 bytes
    kBlockLong = 4,               // 8 bytes
    kBlockFloat = 5,              // 4 bytes
    kBlockDouble = 6,             // 8 bytes
    kBlockBoolean = 7,            // 4, any nonzero value is true
    kBlockDateTime = 8,           // 8 bytes
    kBlockFunctionReference = 9,  // the width of an address
    kBlockText = 10,              // up to the next zero byte
};

// The value of `kind` stored at the 1-based position (default 1). A position before the
// start or past the end gives the kind's zero; missing bytes at the end read as zero. A
// kind outside 1 to 10 is fatal error 100.
Value ReadValueFromBlock(const TextBlock& block, int32_t kind,
                         std::optional<int32_t> position = std::nullopt);
// The same, reading at `position` and then advancing it past the value (for a text, its
// length plus 1); it becomes -1 when that passes the end or when it did not point into
// the block.
Value ReadValueFromBlock(const TextBlock& block, int32_t kind, int32_t& position);

// A number as an integer: truncated toward zero to 64 bits and cut to the low 32 (0 when
// the number is beyond the 64-bit range or not a number).
int32_t TruncateToInteger(double number);
