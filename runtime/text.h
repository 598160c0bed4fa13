// Texts and byte blocks of the runtime.
//
// Text      - a zero-terminated code page 936 (GBK) byte string owned by its holder;
//             a missing text (null) reads as "" everywhere.
// TextBlock - a counted byte buffer laid out as a 32-bit dimension count (always 1),
//             a 32-bit byte count, then the bytes. UTF-16 texts for the window system
//             are TextBlocks holding the units followed by exactly one zero unit.
// RuntimeList - the runtime's list: dimension count (1), element count, then one owned
//             element per entry; indexed from 1 with every access checked.
//
// Narrow string literals in this program are code page 936 (the compiler is told so);
// wide literals are UTF-16.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "runtime/errors.h"

struct TextBlockHeader {
    int32_t dimensions;  // always 1
    int32_t byteCount;
    // byteCount bytes follow
};

class TextBlock {
  public:
    TextBlock() = default;  // the missing block (byte count 0)
    TextBlock(const TextBlock& other);
    TextBlock(TextBlock&& other) noexcept : header_(other.header_) { other.header_ = nullptr; }
    TextBlock& operator=(const TextBlock& other);
    TextBlock& operator=(TextBlock&& other) noexcept;
    ~TextBlock();

    // A zero-filled block of n bytes; the missing block when n <= 0.
    static TextBlock Zeroed(int32_t byteCount);
    // A copy of n bytes; the missing block when bytes is null or n <= 0.
    static TextBlock FromBytes(const void* bytes, int32_t byteCount);
    // UTF-16 text: the units followed by one zero unit.
    static TextBlock FromWide(std::wstring_view text);
    static TextBlock FromWide(const wchar_t* text);  // null gives the empty UTF-16 text
    // The constant blocks of the program image: byte count 0, and one zero unit.
    static TextBlock Empty();
    static TextBlock EmptyWide();

    bool IsMissing() const { return header_ == nullptr; }
    int32_t ByteCount() const { return header_ ? header_->byteCount : 0; }
    const uint8_t* Bytes() const;
    uint8_t* MutableBytes();  // copies a constant block first

    // The block read as UTF-16: L"" when it holds fewer than one unit. The text ends at
    // its first zero unit.
    const wchar_t* Wide() const;
    // Units before the first zero unit (lstrlenW of Wide()).
    int32_t WideLength() const;
    std::wstring_view WideView() const { return {Wide(), static_cast<size_t>(WideLength())}; }

    const TextBlockHeader* Header() const { return header_; }

  private:
    explicit TextBlock(TextBlockHeader* header) : header_(header) {}
    TextBlockHeader* header_ = nullptr;
};

class Text {
  public:
    Text() = default;                            // the missing text
    Text(const char* text);                      // a copy up to the zero byte; null: missing
    Text(const char* bytes, int32_t byteCount);  // a copy of exactly these bytes
    explicit Text(std::string_view text) : Text(text.data(), static_cast<int32_t>(text.size())) {}
    // `count` copies of `byte` (the empty text for count <= 0).
    static Text Filled(char byte, int32_t count);
    Text(const Text& other);
    Text(Text&& other) noexcept : bytes_(other.bytes_) { other.bytes_ = nullptr; }
    Text& operator=(const Text& other);
    Text& operator=(Text&& other) noexcept;
    ~Text();

    bool IsMissing() const { return bytes_ == nullptr; }
    const char* c_str() const { return bytes_ ? bytes_ : ""; }
    char* MutableData() { return bytes_; }  // null for a missing text
    int32_t Length() const;                 // TextLength
    std::string_view View() const { return {c_str(), static_cast<size_t>(Length())}; }

  private:
    char* bytes_ = nullptr;
};

// Exact byte comparison (CompareTexts == 0).
bool operator==(const Text& a, const Text& b);
// BlocksEqual.
bool operator==(const TextBlock& a, const TextBlock& b);

template <class Element>
class RuntimeList {
  public:
    RuntimeList() = default;
    RuntimeList(const RuntimeList& other);
    RuntimeList(RuntimeList&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    RuntimeList& operator=(const RuntimeList& other);
    RuntimeList& operator=(RuntimeList&& other) noexcept;
    ~RuntimeList();

    int32_t Count() const { return block_ ? block_->count : 0; }
    // The elements in order; null for a list that never held one.
    const Element* Data() const { return block_ ? block_->items : nullptr; }
    // Stores a fresh copy at the end; the block grows by one element reference.
    void Append(const Element& element);
    void Append(Element&& element);
    // Gives the list `count` elements: new ones are empty (zero), surplus ones are
    // released. A negative count is fatal error 10.
    void Resize(int32_t count);
    void Resize(int32_t count, ErrorLocation where);
    // Element `index` counted from 1: below 1 is fatal error 4, above the count error 1,
    // reported with the location of the access when one is given.
    const Element& At(int32_t index) const { return Checked(index, nullptr); }
    const Element& At(int32_t index, ErrorLocation where) const { return Checked(index, &where); }
    Element& At(int32_t index) { return const_cast<Element&>(Checked(index, nullptr)); }
    Element& At(int32_t index, ErrorLocation where) {
        return const_cast<Element&>(Checked(index, &where));
    }
    // Releases every element; the list is empty afterwards.
    void Clear();

  private:
    const Element& Checked(int32_t index, const ErrorLocation* where) const;
    void Resize(int32_t count, const ErrorLocation* where);

    struct Block {
        int32_t dimensions;
        int32_t count;
        Element items[1];
    };
    Block* block_ = nullptr;
};

// Elements are moved with the list's block when it grows, so only types that are a single
// owning reference or a plain integer are lists: these.
using TextArray = RuntimeList<Text>;
using BlockArray = RuntimeList<TextBlock>;
using ByteArray = RuntimeList<uint8_t>;
using ShortArray = RuntimeList<int16_t>;
using IntegerArray = RuntimeList<int32_t>;
using LongArray = RuntimeList<int64_t>;

// Conversions. Without a code page the conversion uses 936, as every caller in the
// program does.
TextBlock ToUtf16(const Text& text, std::optional<UINT> codePage = std::nullopt);
Text FromUtf16(const TextBlock& block, std::optional<UINT> codePage = std::nullopt);
Text FromUtf16(const wchar_t* text);  // code page 936, up to the first zero unit
// The same with the system ANSI code page, for the automation calls.
TextBlock ToUtf16System(const char* text);
Text FromUtf16System(const wchar_t* text);

// Texts and blocks. A byte of 0x80 or above starts a two-byte character.

// Bytes before the zero byte; 0 for null. Scans 16 bytes at a time where the processor
// has SSE2, else four, and never reads past the aligned block holding the terminator.
int32_t TextLength(const char* text);
// -1, 0 or 1 by unsigned byte comparison; null reads as "".
int CompareTexts(const char* a, const char* b);
// Same byte count and, when not empty, the same bytes.
bool BlocksEqual(const TextBlock& a, const TextBlock& b);
// The parts in order; null parts add nothing. Always a text, "" when all are empty.
Text JoinTexts(std::initializer_list<const char*> parts);
// The parts' data in order; null or missing parts add nothing. Missing when all are empty.
TextBlock JoinBlocks(std::initializer_list<const TextBlock*> parts);
// The first / last min(n, length) bytes (a two-byte character may be cut); missing when
// n <= 0 or the text is empty.
Text LeftOfText(const char* text, int32_t n);
Text RightOfText(const char* text, int32_t n);
// 1-based byte position of the first `sought` at or after byte `start`, -1 when absent
// (also for an empty or missing text); 1 for an empty `sought`. Matches are tried only
// at character starts, so the second byte of a two-byte character never starts one.
// With ignoreCase, A-Z equal a-z in single-byte characters; two-byte characters always
// compare exactly.
int32_t FindInText(const char* text, const char* sought,
                   std::optional<int32_t> start = std::nullopt, bool ignoreCase = false);
// The pieces between separators (default ","), found as FindInText finds them. A piece
// between two separators counts even when empty; nothing after the last separator adds
// no piece. At most `maximum` pieces (none for maximum <= 0). An empty separator leaves
// the text whole; an empty or missing text has no pieces.
TextArray SplitText(const char* text, std::optional<const char*> separator = std::nullopt,
                    std::optional<int32_t> maximum = std::nullopt);
// The first / last min(n, byte count) bytes; missing when n <= 0 or the block is empty.
TextBlock LeftOfBlock(const TextBlock& block, int32_t n);
TextBlock RightOfBlock(const TextBlock& block, int32_t n);
// SplitText for bytes, without two-byte characters. With no separator given the separator
// is one zero byte; a given but empty separator leaves the data in one piece. Empty
// pieces are missing blocks.
BlockArray SplitBlock(const TextBlock& block, const TextBlock* separator = nullptr,
                      std::optional<int32_t> maximum = std::nullopt);
// n blanks; missing when n < 1.
Text BlankText(int32_t n);
// n zero bytes; missing when n <= 0.
TextBlock NewBlock(int32_t n);
// A copy of n bytes; missing when bytes is null or n <= 0.
TextBlock BlockFromBytes(const void* bytes, int32_t n);
// Byte count; 0 for a missing block.
int32_t BlockLength(const TextBlock& block);
// A one-byte text of the code's low byte; missing when that byte is 0.
Text CharacterText(int32_t code);
