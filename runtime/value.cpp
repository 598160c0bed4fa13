#include "runtime/value.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Days from 1 January 1970 back to the automation-date epoch, 30 December 1899.
constexpr int64_t kEpochToUnixDays = 25569;
constexpr int32_t kSecondsPerDay = 86400;

void AppendDecimal(char*& out, int64_t number) {
    out = std::to_chars(out, out + 24, number).ptr;
}

void AppendBytes(char*& out, const char* text) {
    const size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    out += length;
}

Text DecimalText(int64_t number) {
    char digits[24];
    char* end = digits;
    AppendDecimal(end, number);
    return Text(digits, static_cast<int32_t>(end - digits));
}

// "%f" (six decimals, exactly rounded), then trailing zeros and a bare point removed.
Text TrimmedFixedText(double number) {
    char digits[400];  // the largest double has 309 integer digits
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, number, std::chars_format::fixed, 6);
    if (error != std::errc())
        return Text();
    int32_t length = static_cast<int32_t>(end - digits);
    if (std::memchr(digits, '.', length)) {
        while (digits[length - 1] == '0')
            --length;
        if (digits[length - 1] == '.')
            --length;
    }
    return Text(digits, length);
}

// Gregorian date of a day counted from 1 January 1970.
struct CivilDate {
    int64_t year;
    int month;
    int day;
};

CivilDate DateFromUnixDays(int64_t days) {
    // Counted in 400-year eras of 146097 days that start on 1 March, so the leap day is
    // the last day of a year.
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

Text DateTimeText(double value) {
    // Far outside the calendar's years the text would mean nothing; keep the arithmetic
    // defined there.
    if (!std::isfinite(value))
        value = 0;
    value = std::fmax(-1e12, std::fmin(1e12, value));
    const double whole = std::trunc(value);
    int64_t days = static_cast<int64_t>(whole);
    int64_t seconds = static_cast<int64_t>(std::fabs(value - whole) * kSecondsPerDay + 0.5);
    if (seconds >= kSecondsPerDay) {  // rounded up to midnight: the next day begins
        seconds -= kSecondsPerDay;
        ++days;
    }
    const CivilDate date = DateFromUnixDays(days - kEpochToUnixDays);
    const int64_t hours = seconds / 3600;
    const int64_t minutes = seconds % 3600 / 60;
    const int64_t secs = seconds % 60;

    char text[128];
    char* out = text;
    AppendDecimal(out, date.year);
    AppendBytes(out, "年");
    AppendDecimal(out, date.month);
    AppendBytes(out, "月");
    AppendDecimal(out, date.day);
    AppendBytes(out, "日");
    if (hours != 0 || minutes != 0 || secs != 0) {
        AppendDecimal(out, hours);
        AppendBytes(out, "时");
        if (minutes != 0 || secs != 0) {
            AppendDecimal(out, minutes);
            AppendBytes(out, "分");
            if (secs != 0) {
                AppendDecimal(out, secs);
                AppendBytes(out, "秒");
            }
        }
    }
    return Text(text, static_cast<int32_t>(out - text));
}

// Bytes up to the first zero byte.
Text TextOfBytes(const void* bytes, int32_t count) {
    if (!bytes || count <= 0)
        return Text();
    const auto* zero = static_cast<const char*>(std::memchr(bytes, 0, count));
    const int32_t length =
        zero ? static_cast<int32_t>(zero - static_cast<const char*>(bytes)) : count;
    if (length == 0)
        return Text();
    return Text(static_cast<const char*>(bytes), length);
}

template <class Element>
Text TextOfArray(const RuntimeList<Element>& array) {
    return TextOfBytes(array.Data(), array.Count() * static_cast<int32_t>(sizeof(Element)));
}

// Replaces the full-width "／" and "＼" by "/" and "\", character by character.
Text HalfWidthSlashes(const Text& text) {
    const char* source = text.c_str();
    const int32_t length = text.Length();
    Text result = Text::Filled(0, length);
    char* out = result.MutableData();
    for (int32_t i = 0; i < length;) {
        const auto lead = static_cast<unsigned char>(source[i]);
        if (lead >= 0x80 && i + 1 < length) {
            if (std::memcmp(source + i, "／", 2) == 0) {
                *out++ = '/';
            } else if (std::memcmp(source + i, "＼", 2) == 0) {
                *out++ = '\\';
            } else {
                *out++ = source[i];
                *out++ = source[i + 1];
            }
            i += 2;
        } else {
            *out++ = source[i++];
        }
    }
    return Text(result.c_str());
}

// atoi: blanks, an optional sign, then decimal digits; the limits when out of range.
int32_t ParseDecimal(const char* text) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > static_cast<int64_t>(INT32_MAX) + 1)
            break;
    }
    if (negative)
        return magnitude > static_cast<int64_t>(INT32_MAX) + 1 ? INT32_MIN
                                                               : static_cast<int32_t>(-magnitude);
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

int32_t TextToInteger(const Text& text) {
    const Text slashes = HalfWidthSlashes(text);
    const int32_t length = slashes.Length();
    if (length == 0)
        return 0;
    constexpr LCID kChinesePrc = 2052;
    const int needed =
        LCMapStringA(kChinesePrc, LCMAP_HALFWIDTH, slashes.c_str(), length, nullptr, 0);
    if (needed <= 0)
        return ParseDecimal(slashes.c_str());
    Text narrow = Text::Filled(0, needed);
    LCMapStringA(kChinesePrc, LCMAP_HALFWIDTH, slashes.c_str(), length, narrow.MutableData(),
                 needed);
    return ParseDecimal(narrow.c_str());
}

int32_t WidthOf(int32_t kind) {
    switch (kind) {
        case kBlockByte:
            return 1;
        case kBlockShort:
            return 2;
        case kBlockInteger:
        case kBlockFloat:
        case kBlockBoolean:
            return 4;
        case kBlockFunctionReference:
            return static_cast<int32_t>(sizeof(void*));
        default:
            return 8;
    }
}

// The value of `kind` held in the first bytes of `raw`.
Value ValueOfKind(int32_t kind, const unsigned char* raw) {
    auto read = [raw]<class T>(T value) {
        std::memcpy(&value, raw, sizeof value);
        return value;
    };
    switch (kind) {
        case kBlockByte:
            return Value(read(uint8_t{}));
        case kBlockShort:
            return Value(read(int16_t{}));
        case kBlockInteger:
            return Value(read(int32_t{}));
        case kBlockLong:
            return Value(read(int64_t{}));
        case kBlockFloat:
            return Value(read(float{}));
        case kBlockDouble:
            return Value(read(double{}));
        case kBlockBoolean:
            return Value(read(int32_t{}) != 0);
        case kBlockDateTime:
            return Value(DateTime{read(double{})});
        default:
            return Value(FunctionReference{read(static_cast<const void*>(nullptr))});
    }
}

}  // namespace

int32_t TruncateToInteger(double number) {
    // The 64-bit range is [-2^63, 2^63); beyond it (and for NaN) the result is 0.
    if (!(number >= -9223372036854775808.0 && number < 9223372036854775808.0))
        return 0;
    return static_cast<int32_t>(static_cast<int64_t>(number));
}

Text ValueToText(const Value& value) {
    const Value::Storage& stored = value.Stored();
    switch (value.Kind()) {
        case ValueKind::kBoolean:
            return Text(std::get<bool>(stored) ? "真" : "假");
        case ValueKind::kDateTime:
            return DateTimeText(std::get<DateTime>(stored).days);
        case ValueKind::kText: {
            const Text& text = std::get<Text>(stored);
            return text.Length() == 0 ? Text() : text;
        }
        case ValueKind::kBlock: {
            const TextBlock& block = std::get<TextBlock>(stored);
            return TextOfBytes(block.Bytes(), block.ByteCount());
        }
        case ValueKind::kInteger:
            return DecimalText(std::get<int32_t>(stored));
        case ValueKind::kFunctionReference:
            return DecimalText(static_cast<int32_t>(
                reinterpret_cast<intptr_t>(std::get<FunctionReference>(stored).address)));
        case ValueKind::kByte:
            return DecimalText(std::get<uint8_t>(stored));
        case ValueKind::kShort:
            return DecimalText(std::get<int16_t>(stored));
        case ValueKind::kLong:
            return DecimalText(std::get<int64_t>(stored));
        case ValueKind::kFloat:
            return TrimmedFixedText(std::get<float>(stored));
        case ValueKind::kDouble:
            return TrimmedFixedText(std::get<double>(stored));
        case ValueKind::kByteArray:
            return TextOfArray(std::get<ByteArray>(stored));
        case ValueKind::kShortArray:
            return TextOfArray(std::get<ShortArray>(stored));
        case ValueKind::kIntegerArray:
            return TextOfArray(std::get<IntegerArray>(stored));
        case ValueKind::kLongArray:
            return TextOfArray(std::get<LongArray>(stored));
    }
    return Text();
}

int32_t ValueToInteger(const Value& value) {
    const Value::Storage& stored = value.Stored();
    switch (value.Kind()) {
        case ValueKind::kBoolean:
            return std::get<bool>(stored) ? 1 : 0;
        case ValueKind::kDateTime:
            return TruncateToInteger(std::get<DateTime>(stored).days);
        case ValueKind::kText:
            return TextToInteger(std::get<Text>(stored));
        case ValueKind::kInteger:
            return std::get<int32_t>(stored);
        case ValueKind::kFunctionReference:
            return static_cast<int32_t>(
                reinterpret_cast<intptr_t>(std::get<FunctionReference>(stored).address));
        case ValueKind::kByte:
            return std::get<uint8_t>(stored);
        case ValueKind::kShort:
            return std::get<int16_t>(stored);
        case ValueKind::kLong:
            return static_cast<int32_t>(std::get<int64_t>(stored));
        case ValueKind::kFloat:
            return TruncateToInteger(std::get<float>(stored));
        case ValueKind::kDouble:
            return TruncateToInteger(std::get<double>(stored));
        default:
            return 0;
    }
}

Value ReadValueFromBlock(const TextBlock& block, int32_t kind, int32_t& position) {
    if (kind < kBlockByte || kind > kBlockText)
        FatalError(kUnknownValueKind);
    const int32_t count = block.ByteCount();
    const bool inside = position >= 1 && position <= count;
    const int32_t available = inside ? count - (position - 1) : 0;
    const unsigned char* at = inside ? block.Bytes() + (position - 1) : nullptr;

    int32_t width;
    std::optional<Value> value;
    if (kind == kBlockText) {
        const auto* zero =
            at ? static_cast<const unsigned char*>(std::memchr(at, 0, available)) : nullptr;
        const int32_t length = zero ? static_cast<int32_t>(zero - at) : available;
        value.emplace(length > 0 ? Text(reinterpret_cast<const char*>(at), length) : Text());
        width = length + 1;
    } else {
        width = WidthOf(kind);
        unsigned char raw[8] = {};  // bytes missing at the end read as zero
        if (at)
            std::memcpy(raw, at, available < width ? available : width);
        value.emplace(ValueOfKind(kind, raw));
    }
    const int64_t next = static_cast<int64_t>(position) + width;
    position = inside && next <= count ? static_cast<int32_t>(next) : -1;
    return std::move(*value);
}

Value ReadValueFromBlock(const TextBlock& block, int32_t kind, std::optional<int32_t> position) {
    int32_t at = position.value_or(1);
    return ReadValueFromBlock(block, kind, at);
}
