// Single TIFF directories read at file offsets, for the readers of the JPEGs inside RAW
// files: the maker notes' directories lie outside the walked structure and may use another
// byte order or another base for their offsets. Each read goes through the ByteSource,
// which refuses any byte outside the file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/metadata/image_metadata.h"

uint32_t BigEndian32(const uint8_t* b);
std::optional<uint32_t> ReadBig32(ByteSource& source, uint64_t offset);
std::optional<uint16_t> ReadU16(ByteSource& source, bool little, uint64_t offset);
std::optional<uint32_t> ReadU32(ByteSource& source, bool little, uint64_t offset);

// Whether the file holds these bytes (at most 16) at `offset`.
bool StartsWith(ByteSource& source, uint64_t offset, std::string_view bytes);

// The value of a one-value SHORT or LONG entry, which always sits in the entry itself.
std::optional<uint32_t> SingleValue(ByteSource& source, bool little, const TiffEntry& entry);

// The file offset of an entry's values when they lie outside it (more than four bytes).
std::optional<uint64_t> ValuesOffset(ByteSource& source, bool little, uint64_t base,
                                     const TiffEntry& entry);

// The start of an ASCII entry's text, at most `limit` bytes, up to its first NUL; its
// values counted from `base` when they lie outside the entry.
std::string ReadText(ByteSource& source, bool little, uint64_t base, const TiffEntry& entry,
                     size_t limit);

// Calls `visit` with each entry of the single directory at `directory` (a file offset).
void ForEachEntry(ByteSource& source, bool little, uint64_t directory,
                  const std::function<void(const TiffEntry&)>& visit);

// Takes a JPEG's place in the file: its offset and length, not yet checked.
using JpegFound = std::function<void(uint64_t offset, uint64_t length)>;

// The JPEG whose offset (counted from `base`) and length the directory at `directory`
// holds under these tags, as one-value SHORTs or LONGs.
void ReadDirectoryJpeg(ByteSource& source, bool little, uint64_t base, uint64_t directory,
                       uint16_t offsetTag, uint16_t lengthTag, const JpegFound& found);
