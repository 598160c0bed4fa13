#include "app/metadata/tiff_entries.h"

#include <algorithm>
#include <array>
#include <cstring>

uint32_t BigEndian32(const uint8_t* b) {
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

std::optional<uint32_t> ReadBig32(ByteSource& source, uint64_t offset) {
    uint8_t b[4];
    return source.Read(offset, 4, b) ? std::optional(BigEndian32(b)) : std::nullopt;
}

std::optional<uint16_t> ReadU16(ByteSource& source, bool little, uint64_t offset) {
    uint8_t b[2];
    if (!source.Read(offset, 2, b))
        return std::nullopt;
    return static_cast<uint16_t>(little ? b[0] | b[1] << 8 : b[0] << 8 | b[1]);
}

std::optional<uint32_t> ReadU32(ByteSource& source, bool little, uint64_t offset) {
    uint8_t b[4];
    if (!source.Read(offset, 4, b))
        return std::nullopt;
    return little ? uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0]
                  : BigEndian32(b);
}

bool StartsWith(ByteSource& source, uint64_t offset, std::string_view bytes) {
    std::array<uint8_t, 16> read;
    return bytes.size() <= read.size() && source.Read(offset, bytes.size(), read.data()) &&
           std::memcmp(read.data(), bytes.data(), bytes.size()) == 0;
}

std::optional<uint32_t> SingleValue(ByteSource& source, bool little, const TiffEntry& entry) {
    if (entry.count != 1 || (entry.type != 3 && entry.type != 4))
        return std::nullopt;
    if (entry.type == 3)
        return ReadU16(source, little, entry.place + 8);
    return ReadU32(source, little, entry.place + 8);
}

std::optional<uint64_t> ValuesOffset(ByteSource& source, bool little, uint64_t base,
                                     const TiffEntry& entry) {
    const std::optional<uint32_t> offset = ReadU32(source, little, entry.place + 8);
    return offset ? std::optional(base + *offset) : std::nullopt;
}

std::string ReadText(ByteSource& source, bool little, uint64_t base, const TiffEntry& entry,
                     size_t limit) {
    std::optional<uint64_t> at = entry.place + 8;
    if (entry.type != 2)
        return {};
    if (entry.count > 4)
        at = ValuesOffset(source, little, base, entry);
    std::string text(std::min<uint64_t>(entry.count, limit), '\0');
    if (!at || !source.Read(*at, text.size(), reinterpret_cast<uint8_t*>(text.data())))
        return {};
    return text.substr(0, text.find('\0'));
}

void ForEachEntry(ByteSource& source, bool little, uint64_t directory,
                  const std::function<void(const TiffEntry&)>& visit) {
    const std::optional<uint16_t> count = ReadU16(source, little, directory);
    for (uint32_t i = 0; count && i < *count; ++i) {
        TiffEntry entry{};
        entry.place = directory + 2 + 12ull * i;
        const std::optional<uint16_t> tag = ReadU16(source, little, entry.place);
        const std::optional<uint16_t> type = ReadU16(source, little, entry.place + 2);
        const std::optional<uint32_t> values = ReadU32(source, little, entry.place + 4);
        if (!tag || !type || !values)
            return;
        entry.directory = directory;
        entry.tag = *tag;
        entry.type = *type;
        entry.count = *values;
        visit(entry);
    }
}

void ReadDirectoryJpeg(ByteSource& source, bool little, uint64_t base, uint64_t directory,
                       uint16_t offsetTag, uint16_t lengthTag, const JpegFound& found) {
    std::optional<uint32_t> offset, length;
    ForEachEntry(source, little, directory, [&](const TiffEntry& entry) {
        if (entry.tag == offsetTag)
            offset = SingleValue(source, little, entry);
        else if (entry.tag == lengthTag)
            length = SingleValue(source, little, entry);
    });
    if (offset && length)
        found(base + *offset, *length);
}
