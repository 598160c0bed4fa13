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
    auto* header = static_cast<TextBlockHeader*>(Allocate(sizeof(TextBlockHeader) + byteCount));
    header->dimensions = 1;
    header->byteCount = byteCount;
    return header;
}

TextBlockHeader* CopyHeader(const TextBlockHeader* source) {
    if (!source) return nullptr;
    TextBlockHeader* copy = NewHeader(source->byteCount);
    std::memcpy(copy + 1, source + 1, source->byteCount);
    return copy;
}

char* CopyBytes(const char* bytes, int32_t byteCount) {
    auto* copy = static_cast<char*>(Allocate(byteCount + 1));
    if (byteCount > 0) std::memcpy(copy, bytes, byteCount);
    return copy;
}

}  // namespace

// ---- TextBlock -----------------------------------------------------------------------------

TextBlock::TextBlock(const TextBlock& other)
    : header_(IsInProgramImage(other.header_) ? other.header_ : CopyHeader(other.header_)) {}

TextBlock& TextBlock::operator=(const TextBlock& other) {
    if (this != &other) *this = TextBlock(other);
    return *this;
}

TextBlock& TextBlock::operator=(TextBlock&& other) noexcept {
    std::swap(header_, other.header_);
    return *this;
}

TextBlock::~TextBlock() { Release(header_); }

TextBlock TextBlock::Zeroed(int32_t byteCount) {
    if (byteCount <= 0) return TextBlock();
    return TextBlock(NewHeader(byteCount));
}

TextBlock TextBlock::FromBytes(const void* bytes, int32_t byteCount) {
    if (!bytes || byteCount <= 0) return TextBlock();
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
    if (!header_) return nullptr;
    if (IsInProgramImage(header_)) header_ = CopyHeader(header_);
    return reinterpret_cast<uint8_t*>(header_ + 1);
}

const wchar_t* TextBlock::Wide() const {
    if (ByteCount() < static_cast<int32_t>(sizeof(wchar_t))) return L"";
    return reinterpret_cast<const wchar_t*>(header_ + 1);
}

int32_t TextBlock::WideLength() const {
    const int32_t units = ByteCount() / static_cast<int32_t>(sizeof(wchar_t));
    const wchar_t* text = Wide();
    int32_t length = 0;
    while (length < units && text[length] != 0) ++length;
    return length;
}

bool operator==(const TextBlock& a, const TextBlock& b) { return BlocksEqual(a, b); }

// ---- Text ----------------------------------------------------------------------------------

Text::Text(const char* text) : bytes_(text ? CopyBytes(text, TextLength(text)) : nullptr) {}

Text::Text(const char* bytes, int32_t byteCount)
    : bytes_(CopyBytes(bytes, byteCount < 0 ? 0 : byteCount)) {}

Text::Text(const Text& other)
    : bytes_(other.bytes_ ? CopyBytes(other.bytes_, other.Length()) : nullptr) {}

Text& Text::operator=(const Text& other) {
    if (this != &other) *this = Text(other);
    return *this;
}

Text& Text::operator=(Text&& other) noexcept {
    std::swap(bytes_, other.bytes_);
    return *this;
}

Text::~Text() { Release(bytes_); }

int32_t Text::Length() const { return TextLength(bytes_); }

bool operator==(const Text& a, const Text& b) { return CompareTexts(a.c_str(), b.c_str()) == 0; }

// ---- RuntimeList ---------------------------------------------------------------------------

template <class Element>
RuntimeList<Element>::RuntimeList(const RuntimeList& other) {
    for (int32_t i = 1; i <= other.Count(); ++i) Append(other.At(i));
}

template <class Element>
RuntimeList<Element>& RuntimeList<Element>::operator=(const RuntimeList& other) {
    if (this != &other) *this = RuntimeList(other);
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
const Element& RuntimeList<Element>::At(int32_t index, ErrorLocation where) const {
    if (index < 1) FatalError(kIndexBelowOne, where);
    if (index > Count()) FatalError(kIndexAboveCount, where);
    return block_->items[index - 1];
}

template <class Element>
Element& RuntimeList<Element>::At(int32_t index, ErrorLocation where) {
    return const_cast<Element&>(std::as_const(*this).At(index, where));
}

template <class Element>
void RuntimeList<Element>::Clear() {
    if (!block_) return;
    for (int32_t i = 0; i < block_->count; ++i) block_->items[i].~Element();
    block_->count = 0;
}

template class RuntimeList<Text>;
template class RuntimeList<TextBlock>;

// ---- Conversions ---------------------------------------------------------------------------

TextBlock ToUtf16(const Text& text, std::optional<UINT> codePage) {
    const UINT page = codePage.value_or(936);
    const int bytes = text.Length() + 1;  // with the terminating zero
    const int units = MultiByteToWideChar(page, 0, text.c_str(), bytes, nullptr, 0);
    if (units <= 0) return TextBlock::EmptyWide();
    TextBlock block = TextBlock::Zeroed(units * static_cast<int32_t>(sizeof(wchar_t)));
    auto* out = reinterpret_cast<wchar_t*>(block.MutableBytes());
    if (MultiByteToWideChar(page, 0, text.c_str(), bytes, out, units) == 0)
        return TextBlock::EmptyWide();
    return block;
}

Text FromUtf16(const TextBlock& block, std::optional<UINT> codePage) {
    const UINT page = codePage.value_or(936);
    const int units = block.ByteCount() / static_cast<int>(sizeof(wchar_t));
    if (units <= 0) return Text("");
    const auto* wide = reinterpret_cast<const wchar_t*>(block.Bytes());
    const int bytes = WideCharToMultiByte(page, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return Text("");
    Text work = BlankText(bytes);
    if (WideCharToMultiByte(page, 0, wide, units, work.MutableData(), bytes, nullptr, nullptr) == 0)
        return Text("");
    return Text(work.c_str());  // up to the first zero byte
}

Text FromUtf16(const wchar_t* text) {
    return FromUtf16(TextBlock::FromWide(text));
}

TextBlock ToUtf16System(const char* text) {
    const int units = MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, nullptr, 0);
    if (units <= 0) return TextBlock::EmptyWide();
    TextBlock block = TextBlock::Zeroed(units * static_cast<int32_t>(sizeof(wchar_t)));
    MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1,
                        reinterpret_cast<wchar_t*>(block.MutableBytes()), units);
    return block;
}

Text FromUtf16System(const wchar_t* text) {
    const wchar_t* source = text ? text : L"";
    const int bytes = WideCharToMultiByte(CP_ACP, 0, source, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return Text("");
    Text work = BlankText(bytes);
    WideCharToMultiByte(CP_ACP, 0, source, -1, work.MutableData(), bytes, nullptr, nullptr);
    return Text(work.c_str());
}

// ---- Length and comparison -----------------------------------------------------------------

int32_t TextLength(const char* text) {
    return text ? static_cast<int32_t>(std::strlen(text)) : 0;
}

int CompareTexts(const char* a, const char* b) {
    const int result = std::strcmp(a ? a : "", b ? b : "");
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

bool BlocksEqual(const TextBlock& a, const TextBlock& b) {
    if (a.ByteCount() != b.ByteCount()) return false;
    if (a.ByteCount() == 0) return true;
    return std::memcmp(a.Bytes(), b.Bytes(), a.ByteCount()) == 0;
}

Text BlankText(int32_t n) {
    if (n < 1) return Text();
    char* bytes = static_cast<char*>(Allocate(n + 1));
    std::memset(bytes, ' ', n);
    Text result(bytes, n);
    Release(bytes);
    return result;
}
