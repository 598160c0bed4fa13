// WideTextBuffer: a growable UTF-16 text in memory of its own (VirtualAlloc, read-write),
// for building long texts piece by piece. Positions and counts are in characters; capacity and length in bytes.
//
// The content always ends in a zero unit inside the capacity. A UTF-16 block handed to an
// operation counts up to its first zero unit.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"

class WideTextBuffer {
  public:
    WideTextBuffer() = default;
    WideTextBuffer(const WideTextBuffer&) = delete;  // Clone copies the content
    WideTextBuffer& operator=(const WideTextBuffer&) = delete;

    // Gives the memory back as Free does.
    virtual ~WideTextBuffer();
    // A buffer of its own with the same capacity and content.
    std::unique_ptr<WideTextBuffer> Clone() const;
    // Frees any memory and allocates `capacity` bytes (default: the page size), empty.
    // False when the capacity is not positive.
    bool Initialise(std::optional<int32_t> capacity = std::nullopt);
    // Replaces the content, allocating or growing as needed.
    void Set(const TextBlock& text);
    // The content and one zero unit; the empty UTF-16 text when there is no memory.
    TextBlock Get() const;
    // Appends at the end.
    void Append(const TextBlock& text);
    // Inserts at a character position (kept within 0 and the character count).
    void Insert(const TextBlock& text, int32_t position);
    // Removes up to `count` characters from `position`; false for a negative count or
    // position, a position past the end, or no memory.
    bool Remove(int32_t position, int32_t count);
    // Replaces up to `count` occurrences (0: all) from character `start` on, searching
    // again after each inserted replacement. Returns how many were replaced.
    int32_t Replace(const TextBlock& sought, const TextBlock& replacement,
                            int32_t start = 0, int32_t count = 0, bool caseSensitive = true);
    // `count` characters from `position` (a negative count: to the end), never past the
    // end of the content.
    TextBlock Middle(int32_t position, int32_t count) const;
    // The first / last `count` characters, at most the whole content.
    TextBlock Left(int32_t count) const;
    TextBlock Right(int32_t count) const;
    int32_t Capacity() const;  // 12, in bytes
    wchar_t* Buffer() const;
    // Frees its memory and works in `text` from now on, without owning it: the
    // capacity is the text and its zero unit, so any growth moves into memory of its own.
    void Attach(wchar_t* text);
    int32_t CharacterCount() const;  // lstrlenW
    // lstrcmpW / lstrcmpiW; 0 when either buffer has no memory.
    int32_t Compare(const WideTextBuffer& other, bool caseSensitive = true) const;
    // Removes blanks at both ends.
    void Trim();
    // Character index of the first / last occurrence that starts at or after
    // `start`, -1 when none.
    int32_t Find(const TextBlock& text, int32_t start = 0, bool caseSensitive = true) const;
    int32_t FindLast(const TextBlock& text, int32_t start = 0,
                             bool caseSensitive = true) const;
    void ToUpper();        // CharUpperW
    void ToLower();        // CharLowerW
    bool IsEmpty() const;  // true when there is no memory
    void Clear();          // zero-fills, length 0
    void Free();           // gives the memory back; capacity and length 0
    // Initialises `other` with this capacity and this content; nothing when this
    // buffer has no memory.
    void CopyTo(WideTextBuffer& other) const;
    // The memory primitives. Allocate gives zero-filled read-write memory or
    // null; ReleaseMemory gives it back and clears the reference; ReallocateMemory
    // replaces it with a new zero-filled block of `size` bytes (the content is not kept;
    // size becomes 0 on failure).
    wchar_t* AllocateMemory(int32_t bytes);
    void ReleaseMemory(wchar_t*& buffer);
    void ReallocateMemory(wchar_t*& buffer, int32_t& size);

    int32_t Length() const { return length_; }  // bytes, without the zero unit

  private:
    // Replaces `removed` characters at `position` by `count` units of `units`, growing
    // the memory when the result needs more room.
    void Splice(int32_t position, int32_t removed, const wchar_t* units, int32_t count);
    void MakeRoom(int64_t bytes);
    TextBlock Characters(int32_t position, int32_t count) const;

    wchar_t* buffer_ = nullptr;
    int32_t capacity_ = 0;  // bytes
    int32_t length_ = 0;    // bytes
    bool owned_ = false;    // false for an attached text
};
