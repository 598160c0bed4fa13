#include "runtime/wide_text_buffer.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "runtime/binding.h"
#include "runtime/heap.h"

namespace {

constexpr int32_t kUnit = static_cast<int32_t>(sizeof(wchar_t));

int32_t PageSize() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return static_cast<int32_t>(info.dwPageSize);
}

// The searches take zero-terminated texts; a block need not end in a zero unit.
TextBlock Terminated(const TextBlock& text) {
    return TextBlock::FromWide(text.WideView());
}

}  // namespace

WideTextBuffer::~WideTextBuffer() {
    WideTextBuffer::Free();
}

std::unique_ptr<WideTextBuffer> WideTextBuffer::Clone() const {
    auto copy = std::make_unique<WideTextBuffer>();
    CopyTo(*copy);
    return copy;
}

bool WideTextBuffer::Initialise(std::optional<int32_t> capacity) {
    Free();
    const int32_t bytes = capacity.value_or(PageSize());
    if (bytes <= 0)
        return false;
    // Never less than one zero unit, which the content always ends in.
    buffer_ = AllocateMemory(std::max(bytes, kUnit));
    if (!buffer_)
        ReportOutOfMemory();
    owned_ = true;
    capacity_ = std::max(bytes, kUnit);
    length_ = 0;
    return true;
}

void WideTextBuffer::Set(const TextBlock& text) {
    const int32_t characters = length_ / kUnit;
    Splice(0, characters, text.Wide(), text.WideLength());
}

TextBlock WideTextBuffer::Get() const {
    if (!buffer_)
        return TextBlock::EmptyWide();
    return Characters(0, length_ / kUnit);
}

void WideTextBuffer::Append(const TextBlock& text) {
    Splice(length_ / kUnit, 0, text.Wide(), text.WideLength());
}

void WideTextBuffer::Insert(const TextBlock& text, int32_t position) {
    const int32_t characters = length_ / kUnit;
    Splice(std::clamp(position, 0, characters), 0, text.Wide(), text.WideLength());
}

bool WideTextBuffer::Remove(int32_t position, int32_t count) {
    const int32_t characters = length_ / kUnit;
    if (!buffer_ || count < 0 || position < 0 || position > characters)
        return false;
    Splice(position, std::min(count, characters - position), nullptr, 0);
    return true;
}

int32_t WideTextBuffer::Replace(const TextBlock& sought, const TextBlock& replacement,
                                int32_t start, int32_t count, bool caseSensitive) {
    const TextBlock needle = Terminated(sought);
    const int32_t needleLength = needle.WideLength();
    if (!buffer_ || needleLength == 0 || start < 0 || start > length_ / kUnit)
        return 0;
    const wchar_t* units = replacement.Wide();
    const int32_t unitCount = replacement.WideLength();
    int32_t position = start;
    int32_t replaced = 0;
    while (count == 0 || replaced < count) {
        const wchar_t* found = caseSensitive
                                   ? SystemFunctions::StrStrW(buffer_ + position, needle.Wide())
                                   : SystemFunctions::StrStrIW(buffer_ + position, needle.Wide());
        if (!found)
            break;
        const auto index = static_cast<int32_t>(found - buffer_);
        Splice(index, needleLength, units, unitCount);  // may move the buffer
        position = index + unitCount;
        ++replaced;
    }
    return replaced;
}

TextBlock WideTextBuffer::Middle(int32_t position, int32_t count) const {
    const int32_t characters = length_ / kUnit;
    if (!buffer_ || position < 0 || position >= characters)
        return TextBlock::EmptyWide();
    const int32_t rest = characters - position;
    return Characters(position, count < 0 ? rest : std::min(count, rest));
}

TextBlock WideTextBuffer::Left(int32_t count) const {
    if (!buffer_ || count <= 0)
        return TextBlock::EmptyWide();
    return Characters(0, std::min(count, length_ / kUnit));
}

TextBlock WideTextBuffer::Right(int32_t count) const {
    if (!buffer_ || count <= 0)
        return TextBlock::EmptyWide();
    const int32_t characters = length_ / kUnit;
    const int32_t taken = std::min(count, characters);
    return Characters(characters - taken, taken);
}

int32_t WideTextBuffer::Capacity() const {
    return capacity_;
}

wchar_t* WideTextBuffer::Buffer() const {
    return buffer_;
}

void WideTextBuffer::Attach(wchar_t* text) {
    Free();
    if (!text)
        return;
    buffer_ = text;
    length_ = lstrlenW(text) * kUnit;
    capacity_ = length_ + kUnit;
    owned_ = false;
}

int32_t WideTextBuffer::CharacterCount() const {
    return buffer_ ? lstrlenW(buffer_) : 0;
}

int32_t WideTextBuffer::Compare(const WideTextBuffer& other, bool caseSensitive) const {
    if (!buffer_ || !other.buffer_)
        return 0;
    return caseSensitive ? lstrcmpW(buffer_, other.buffer_) : lstrcmpiW(buffer_, other.buffer_);
}

void WideTextBuffer::Trim() {
    if (!buffer_)
        return;
    StrTrimW(buffer_, L" ");
    length_ = lstrlenW(buffer_) * kUnit;
}

int32_t WideTextBuffer::Find(const TextBlock& text, int32_t start, bool caseSensitive) const {
    const TextBlock needle = Terminated(text);
    if (!buffer_ || needle.WideLength() == 0 || start < 0 || start > length_ / kUnit)
        return -1;
    const wchar_t* found = caseSensitive
                               ? SystemFunctions::StrStrW(buffer_ + start, needle.Wide())
                               : SystemFunctions::StrStrIW(buffer_ + start, needle.Wide());
    return found ? static_cast<int32_t>(found - buffer_) : -1;
}

int32_t WideTextBuffer::FindLast(const TextBlock& text, int32_t start, bool caseSensitive) const {
    const TextBlock needle = Terminated(text);
    if (!buffer_ || needle.WideLength() == 0 || start < 0 || start > length_ / kUnit)
        return -1;
    if (!caseSensitive) {
        const wchar_t* found = SystemFunctions::StrRStrIW(buffer_ + start, nullptr, needle.Wide());
        return found ? static_cast<int32_t>(found - buffer_) : -1;
    }
    // The exact backward search is done here: shell32's StrRStrW cannot be relied on (Wine
    // exports it as an unimplemented stub that ends the process when called).
    const int32_t needleLength = needle.WideLength();
    for (int32_t index = length_ / kUnit - needleLength; index >= start; --index) {
        if (std::wmemcmp(buffer_ + index, needle.Wide(), needleLength) == 0)
            return index;
    }
    return -1;
}

void WideTextBuffer::ToUpper() {
    if (buffer_)
        CharUpperW(buffer_);
}

void WideTextBuffer::ToLower() {
    if (buffer_)
        CharLowerW(buffer_);
}

bool WideTextBuffer::IsEmpty() const {
    return buffer_ == nullptr;
}

void WideTextBuffer::Clear() {
    if (!buffer_)
        return;
    std::memset(buffer_, 0, capacity_);
    length_ = 0;
}

void WideTextBuffer::Free() {
    if (owned_)
        ReleaseMemory(buffer_);
    buffer_ = nullptr;
    capacity_ = 0;
    length_ = 0;
    owned_ = false;
}

void WideTextBuffer::CopyTo(WideTextBuffer& other) const {
    if (!buffer_ || &other == this)
        return;
    other.Initialise(capacity_);
    other.Set(Get());
}

wchar_t* WideTextBuffer::AllocateMemory(int32_t bytes) {
    if (bytes <= 0)
        return nullptr;
    // Read-write only: text never needs to be executable.
    return static_cast<wchar_t*>(VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes),
                                              MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void WideTextBuffer::ReleaseMemory(wchar_t*& buffer) {
    // MEM_RELEASE returns the address space too; a decommit alone would leak it.
    if (buffer)
        VirtualFree(buffer, 0, MEM_RELEASE);
    buffer = nullptr;
}

void WideTextBuffer::ReallocateMemory(wchar_t*& buffer, int32_t& size) {
    ReleaseMemory(buffer);
    buffer = AllocateMemory(size);
    if (!buffer)
        size = 0;
}

void WideTextBuffer::Splice(int32_t position, int32_t removed, const wchar_t* units,
                            int32_t count) {
    const int32_t characters = length_ / kUnit;
    const int64_t resultCharacters = static_cast<int64_t>(characters) - removed + count;
    MakeRoom((resultCharacters + 1) * kUnit);
    const int32_t tail = characters - position - removed;
    std::memmove(buffer_ + position + count, buffer_ + position + removed, tail * sizeof(wchar_t));
    if (count > 0)
        std::memcpy(buffer_ + position, units, count * sizeof(wchar_t));
    const auto newCharacters = static_cast<int32_t>(resultCharacters);
    // Zero unit, and no stale characters behind it when the content shrank.
    const int32_t cleared = std::max(characters, newCharacters) - newCharacters + 1;
    std::memset(buffer_ + newCharacters, 0, cleared * sizeof(wchar_t));
    length_ = newCharacters * kUnit;
}

void WideTextBuffer::MakeRoom(int64_t bytes) {
    if (!buffer_)
        Initialise();
    if (bytes <= capacity_)
        return;
    if (bytes > INT32_MAX)
        ReportOutOfMemory();
    const auto capacity = static_cast<int32_t>(bytes);
    wchar_t* grown = AllocateMemory(capacity);
    if (!grown)
        ReportOutOfMemory();
    std::memcpy(grown, buffer_, length_ + kUnit);
    if (owned_)
        ReleaseMemory(buffer_);
    buffer_ = grown;
    capacity_ = capacity;
    owned_ = true;
}

TextBlock WideTextBuffer::Characters(int32_t position, int32_t count) const {
    return TextBlock::FromWide(std::wstring_view(buffer_ + position, count));
}
