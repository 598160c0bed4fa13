// Comparison, joining, parts, search and splitting of texts and byte blocks.
#include <array>
#include <climits>
#include <cstring>

#include "runtime/heap.h"
#include "runtime/text.h"

namespace {

using Byte = unsigned char;

const Byte* Bytes(const char* text) {
    return reinterpret_cast<const Byte*>(text);
}

// Maps A-Z to a-z and every other byte to itself.
constexpr std::array<Byte, 256> kFoldingTable = [] {
    std::array<Byte, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<Byte>(i >= 'A' && i <= 'Z' ? i + 32 : i);
    return table;
}();

// Width of the character at `offset`: two bytes for a lead byte that has a second byte.
int32_t CharacterWidth(const Byte* text, int32_t offset, int32_t length) {
    return text[offset] >= 0x80 && offset + 1 < length ? 2 : 1;
}

// Compares `sought` with the text at a character start. Two-byte characters compare
// exactly, so folding never turns one Chinese character into another.
bool MatchesAt(const Byte* text, const Byte* sought, int32_t soughtLength, bool ignoreCase) {
    for (int32_t i = 0; i < soughtLength;) {
        if (sought[i] >= 0x80 && i + 1 < soughtLength) {
            if (text[i] != sought[i] || text[i + 1] != sought[i + 1])
                return false;
            i += 2;
            continue;
        }
        const Byte a = ignoreCase ? kFoldingTable[text[i]] : text[i];
        const Byte b = ignoreCase ? kFoldingTable[sought[i]] : sought[i];
        if (a != b)
            return false;
        ++i;
    }
    return true;
}

// 0-based offset of the first match at a character start at or after `from`, which must
// itself be a character start; -1 when none.
int32_t FindFrom(const Byte* text, int32_t length, int32_t from, const Byte* sought,
                 int32_t soughtLength, bool ignoreCase) {
    for (int32_t offset = from; offset + soughtLength <= length;
         offset += CharacterWidth(text, offset, length)) {
        if (MatchesAt(text + offset, sought, soughtLength, ignoreCase))
            return offset;
    }
    return -1;
}

// Byte search without characters, for blocks.
int32_t FindBytesFrom(const Byte* data, int32_t length, int32_t from, const Byte* sought,
                      int32_t soughtLength) {
    for (int32_t offset = from; offset + soughtLength <= length; ++offset) {
        if (std::memcmp(data + offset, sought, soughtLength) == 0)
            return offset;
    }
    return -1;
}

}  // namespace

int CompareTexts(const char* a, const char* b) {
    const int result = std::strcmp(a ? a : "", b ? b : "");
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

bool BlocksEqual(const TextBlock& a, const TextBlock& b) {
    if (a.ByteCount() != b.ByteCount())
        return false;
    if (a.ByteCount() == 0)
        return true;
    return std::memcmp(a.Bytes(), b.Bytes(), a.ByteCount()) == 0;
}

Text JoinTexts(std::initializer_list<const char*> parts) {
    int64_t total = 0;
    for (const char* part : parts)
        total += TextLength(part);
    if (total >= INT32_MAX)
        ReportOutOfMemory();
    Text joined = Text::Filled(0, static_cast<int32_t>(total));
    char* out = joined.MutableData();
    for (const char* part : parts) {
        const int32_t length = TextLength(part);
        std::memcpy(out, part ? part : "", length);
        out += length;
    }
    return joined;
}

TextBlock JoinBlocks(std::initializer_list<const TextBlock*> parts) {
    int64_t total = 0;
    for (const TextBlock* part : parts)
        total += part ? part->ByteCount() : 0;
    if (total <= 0)
        return TextBlock();
    if (total > INT32_MAX)
        ReportOutOfMemory();
    TextBlock joined = NewBlock(static_cast<int32_t>(total));
    uint8_t* out = joined.MutableBytes();
    for (const TextBlock* part : parts) {
        if (!part || part->ByteCount() <= 0)
            continue;
        std::memcpy(out, part->Bytes(), part->ByteCount());
        out += part->ByteCount();
    }
    return joined;
}

Text LeftOfText(const char* text, int32_t n) {
    const int32_t length = TextLength(text);
    if (n <= 0 || length == 0)
        return Text();
    return Text(text, n < length ? n : length);
}

Text RightOfText(const char* text, int32_t n) {
    const int32_t length = TextLength(text);
    if (n <= 0 || length == 0)
        return Text();
    const int32_t count = n < length ? n : length;
    return Text(text + length - count, count);
}

int32_t FindInText(const char* text, const char* sought, std::optional<int32_t> start,
                   bool ignoreCase) {
    const int32_t length = TextLength(text);
    if (length == 0 || !sought)
        return -1;
    const int32_t soughtLength = TextLength(sought);
    if (soughtLength == 0)
        return 1;
    const Byte* bytes = Bytes(text);
    // The first character start at or after byte offset start - 1.
    int32_t from = 0;
    const int32_t startOffset = start.value_or(1) - 1;
    while (from < startOffset && from < length)
        from += CharacterWidth(bytes, from, length);
    const int32_t found = FindFrom(bytes, length, from, Bytes(sought), soughtLength, ignoreCase);
    return found < 0 ? -1 : found + 1;
}

TextArray SplitText(const char* text, std::optional<const char*> separator,
                    std::optional<int32_t> maximum) {
    TextArray pieces;
    const int32_t limit = maximum.value_or(INT32_MAX);
    const int32_t length = TextLength(text);
    if (limit <= 0 || length == 0)
        return pieces;
    const char* mark = separator ? *separator : ",";
    const int32_t markLength = TextLength(mark);
    int32_t from = 0;
    while (markLength > 0 && pieces.Count() < limit) {
        const int32_t found = FindFrom(Bytes(text), length, from, Bytes(mark), markLength, false);
        if (found < 0)
            break;
        pieces.Append(Text(text + from, found - from));
        from = found + markLength;
    }
    if (from < length && pieces.Count() < limit)
        pieces.Append(Text(text + from, length - from));
    return pieces;
}

TextBlock LeftOfBlock(const TextBlock& block, int32_t n) {
    const int32_t count = block.ByteCount();
    if (n <= 0 || count <= 0)
        return TextBlock();
    return TextBlock::FromBytes(block.Bytes(), n < count ? n : count);
}

TextBlock RightOfBlock(const TextBlock& block, int32_t n) {
    const int32_t count = block.ByteCount();
    if (n <= 0 || count <= 0)
        return TextBlock();
    const int32_t taken = n < count ? n : count;
    return TextBlock::FromBytes(block.Bytes() + count - taken, taken);
}

BlockArray SplitBlock(const TextBlock& block, const TextBlock* separator,
                      std::optional<int32_t> maximum) {
    BlockArray pieces;
    const int32_t limit = maximum.value_or(INT32_MAX);
    const int32_t length = block.ByteCount();
    if (limit <= 0 || length <= 0)
        return pieces;
    static const Byte kZeroByte = 0;
    const Byte* mark = separator ? separator->Bytes() : &kZeroByte;
    const int32_t markLength = separator ? separator->ByteCount() : 1;
    const Byte* data = block.Bytes();
    int32_t from = 0;
    while (markLength > 0 && pieces.Count() < limit) {
        const int32_t found = FindBytesFrom(data, length, from, mark, markLength);
        if (found < 0)
            break;
        pieces.Append(TextBlock::FromBytes(data + from, found - from));
        from = found + markLength;
    }
    if (from < length && pieces.Count() < limit)
        pieces.Append(TextBlock::FromBytes(data + from, length - from));
    return pieces;
}

TextBlock NewBlock(int32_t n) {
    return TextBlock::Zeroed(n);
}

TextBlock BlockFromBytes(const void* bytes, int32_t n) {
    return TextBlock::FromBytes(bytes, n);
}

int32_t BlockLength(const TextBlock& block) {
    return block.ByteCount();
}

Text CharacterText(int32_t code) {
    const char byte = static_cast<char>(code & 0xFF);
    if (byte == 0)
        return Text();
    return Text(&byte, 1);
}
