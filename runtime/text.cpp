#include "runtime/text.h"

#include <cstring>
#include <new>
#include <utility>

#include "runtime/heap.h"

namespace {

// The two constant blocks of the program image; Release ignores them.
struct EmptyBlockImage {
    TextBlockHeader header;
};
struct EmptyWideImage {
    TextBlockHeader header;
    wchar_t zero;
};
const EmptyBlockImage kEmptyBlock = {{1, 0}};
const EmptyWideImage kEmptyWide = {{1, 2}, 0};

TextBlockHeader* NewHeader(int32_t byteCount) {
    auto* header = static_cast<TextBlockHeader*>(
        Allocate(sizeof(TextBlockHeader) + static_cast<size_t>(byteCount)));
    header->dimensions = 1;
    header->byteCount = byteCount;
    return header;
}

TextBlockHeader* CopyHeader(const TextBlockHeader* source) {
    if (!source)
        return nullptr;
    TextBlockHeader* copy = NewHeader(source->byteCount);
    std::memcpy(copy + 1, source + 1, source->byteCount);
    return copy;
}

// A zero-terminated copy of byteCount bytes (none copied when bytes is null).
char* CopyBytes(const char* bytes, int32_t byteCount) {
    auto* copy = static_cast<char*>(Allocate(static_cast<size_t>(byteCount) + 1));
    if (bytes && byteCount > 0)
        std::memcpy(copy, bytes, byteCount);
    return copy;
}

// The location is optional: a list access may come with one or without.
[[noreturn]] void FatalErrorAt(int number, const ErrorLocation* where) {
    if (where)
        FatalError(number, *where);
    FatalError(number);
}

}  // namespace

// ---- TextBlock -----------------------------------------------------------------------------

TextBlock::TextBlock(const TextBlock& other)
    : header_(IsInProgramImage(other.header_) ? other.header_ : CopyHeader(other.header_)) {}

TextBlock& TextBlock::operator=(const TextBlock& other) {
    if (this != &other)
        *this = TextBlock(other);
    return *this;
}

TextBlock& TextBlock::operator=(TextBlock&& other) noexcept {
    std::swap(header_, other.header_);
    return *this;
}

TextBlock::~TextBlock() {
    Release(header_);
}

TextBlock TextBlock::Zeroed(int32_t byteCount) {
    if (byteCount <= 0)
        return TextBlock();
    return TextBlock(NewHeader(byteCount));
}

TextBlock TextBlock::FromBytes(const void* bytes, int32_t byteCount) {
    if (!bytes || byteCount <= 0)
        return TextBlock();
    TextBlockHeader* header = NewHeader(byteCount);
    std::memcpy(header + 1, bytes, byteCount);
    return TextBlock(header);
}

TextBlock TextBlock::FromWide(std::wstring_view text) {
    TextBlockHeader* header = NewHeader(static_cast<int32_t>((text.size() + 1) * sizeof(wchar_t)));
    std::memcpy(header + 1, text.data(), text.size() * sizeof(wchar_t));
    return TextBlock(header);
}

TextBlock TextBlock::FromWide(const wchar_t* text) {
    return FromWide(text ? std::wstring_view(text) : std::wstring_view());
}

TextBlock TextBlock::Empty() {
    return TextBlock(const_cast<TextBlockHeader*>(&kEmptyBlock.header));
}

TextBlock TextBlock::EmptyWide() {
    return TextBlock(const_cast<TextBlockHeader*>(&kEmptyWide.header));
}

const uint8_t* TextBlock::Bytes() const {
    return header_ ? reinterpret_cast<const uint8_t*>(header_ + 1) : nullptr;
}

uint8_t* TextBlock::MutableBytes() {
    if (!header_)
        return nullptr;
    if (IsInProgramImage(header_))
        header_ = CopyHeader(header_);
    return reinterpret_cast<uint8_t*>(header_ + 1);
}

const wchar_t* TextBlock::Wide() const {
    if (ByteCount() < static_cast<int32_t>(sizeof(wchar_t)))
        return L"";
    return reinterpret_cast<const wchar_t*>(header_ + 1);
}

int32_t TextBlock::WideLength() const {
    const int32_t units = ByteCount() / static_cast<int32_t>(sizeof(wchar_t));
    const wchar_t* text = Wide();
    int32_t length = 0;
    while (length < units && text[length] != 0)
        ++length;
    return length;
}

bool operator==(const TextBlock& a, const TextBlock& b) {
    return BlocksEqual(a, b);
}

// ---- Text ----------------------------------------------------------------------------------

Text::Text(const char* text) : bytes_(text ? CopyBytes(text, TextLength(text)) : nullptr) {}

Text::Text(const char* bytes, int32_t byteCount)
    : bytes_(CopyBytes(bytes, byteCount < 0 ? 0 : byteCount)) {}

Text Text::Filled(char byte, int32_t count) {
    Text text;
    text.bytes_ = static_cast<char*>(Allocate(static_cast<size_t>(count < 0 ? 0 : count) + 1));
    if (count > 0)
        std::memset(text.bytes_, byte, count);
    return text;
}

Text::Text(const Text& other)
    : bytes_(other.bytes_ ? CopyBytes(other.bytes_, other.Length()) : nullptr) {}

Text& Text::operator=(const Text& other) {
    if (this != &other)
        *this = Text(other);
    return *this;
}

Text& Text::operator=(Text&& other) noexcept {
    std::swap(bytes_, other.bytes_);
    return *this;
}

Text::~Text() {
    Release(bytes_);
}

int32_t Text::Length() const {
    return TextLength(bytes_);
}

bool operator==(const Text& a, const Text& b) {
    return CompareTexts(a.c_str(), b.c_str()) == 0;
}

// ---- RuntimeList ---------------------------------------------------------------------------

template <class Element>
RuntimeList<Element>::RuntimeList(const RuntimeList& other) {
    for (int32_t i = 1; i <= other.Count(); ++i)
        Append(other.At(i));
}

template <class Element>
RuntimeList<Element>& RuntimeList<Element>::operator=(const RuntimeList& other) {
    if (this != &other)
        *this = RuntimeList(other);
    return *this;
}

template <class Element>
RuntimeList<Element>& RuntimeList<Element>::operator=(RuntimeList&& other) noexcept {
    std::swap(block_, other.block_);
    return *this;
}

template <class Element>
RuntimeList<Element>::~RuntimeList() {
    Clear();
    Release(block_);
}

template <class Element>
void RuntimeList<Element>::Append(const Element& element) {
    Append(Element(element));
}

template <class Element>
void RuntimeList<Element>::Append(Element&& element) {
    // Elements are single owning references, so moving the block's bytes moves them.
    const int32_t count = Count();
    const size_t bytes = offsetof(Block, items) + sizeof(Element) * (count + 1);
    block_ = static_cast<Block*>(Reallocate(block_, bytes));
    block_->dimensions = 1;
    block_->count = count + 1;
    new (&block_->items[count]) Element(std::move(element));
}

template <class Element>
const Element& RuntimeList<Element>::Checked(int32_t index, const ErrorLocation* where) const {
    if (index < 1)
        FatalErrorAt(kIndexBelowOne, where);
    if (index > Count())
        FatalErrorAt(kIndexAboveCount, where);
    return block_->items[index - 1];
}

template <class Element>
void RuntimeList<Element>::Resize(int32_t count) {
    Resize(count, nullptr);
}

template <class Element>
void RuntimeList<Element>::Resize(int32_t count, ErrorLocation where) {
    Resize(count, &where);
}

template <class Element>
void RuntimeList<Element>::Resize(int32_t count, const ErrorLocation* where) {
    if (count < 0)
        FatalErrorAt(kNegativeArraySize, where);
    const int32_t current = Count();
    if (count == current)
        return;
    for (int32_t i = count; i < current; ++i)
        block_->items[i].~Element();
    if (count > current) {
        block_ = static_cast<Block*>(
            Reallocate(block_, offsetof(Block, items) + sizeof(Element) * count));
        for (int32_t i = current; i < count; ++i)
            new (&block_->items[i]) Element();
    }
    block_->dimensions = 1;
    block_->count = count;
}

template <class Element>
void RuntimeList<Element>::Clear() {
    if (!block_)
        return;
    for (int32_t i = 0; i < block_->count; ++i)
        block_->items[i].~Element();
    block_->count = 0;
}

template class RuntimeList<Text>;
template class RuntimeList<TextBlock>;
template class RuntimeList<uint8_t>;
template class RuntimeList<int16_t>;
template class RuntimeList<int32_t>;
template class RuntimeList<int64_t>;

// ---- Blank texts ---------------------------------------------------------------------------

Text BlankText(int32_t n) {
    return n < 1 ? Text() : Text::Filled(' ', n);
}
