// The image metadata reader on the host, for the checks against exiftool and for fuzzing.
//
//   metadata_tool print FILE...   one JSON object per file, named as `exiftool -n -j` names
//                                 the facts, on one line each, and the preview's facts
//                                 line as "FactsLine"
//   metadata_tool raw FILE...     the embedded JPEGs of camera RAW files, one JSON object
//                                 per file: Jpegs and Largest as [offset, length], and
//                                 Orientation
//   metadata_tool fuzz [--count=N] [--seed=S] FILE_OR_FOLDER...
//                                 N damaged copies of the files through the readers; case i
//                                 uses seed S + i, and a failure prints the seed that
//                                 replays it with --count=1
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/metadata/image_metadata.h"
#include "app/metadata/raw_previews.h"
#include "app/metadata/photo_facts.h"

#if defined(__has_include)
#if __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define ZEMO_HAS_SANITIZER_CALLBACK 1
#endif
#endif

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

int Print(int count, char** files) {
    for (int i = 0; i < count; ++i) {
        const Bytes bytes = ReadWhole(files[i]);
        MemoryByteSource source(bytes.data(), bytes.size());
        const ImageMetadata m = ReadImageMetadata(source);
        std::string json = "{\"SourceFile\":" + Quoted(files[i]);
        auto add = [&](const char* name, const std::string& value) {
            json += std::string(",\"") + name + "\":" + value;
        };
        auto number = [](double value) {
            char text[32];
            std::snprintf(text, sizeof text, "%.10g", value);
            return std::string(text);
        };
        if (m.orientation)
            add("Orientation", std::to_string(*m.orientation));
        if (m.dateTimeOriginal)
            add("DateTimeOriginal", Quoted(*m.dateTimeOriginal));
        if (m.subSecTimeOriginal)
            add("SubSecTimeOriginal", Quoted(*m.subSecTimeOriginal));
        if (m.offsetTimeOriginal)
            add("OffsetTimeOriginal", Quoted(*m.offsetTimeOriginal));
        if (m.make)
            add("Make", Quoted(*m.make));
        if (m.model)
            add("Model", Quoted(*m.model));
        if (m.exposureTime)
            add("ExposureTime", number(m.exposureTime->Value()));
        if (m.fNumber)
            add("FNumber", number(m.fNumber->Value()));
        if (m.iso)
            add("ISO", std::to_string(*m.iso));
        if (m.focalLength)
            add("FocalLength", number(m.focalLength->Value()));
        if (m.pixelSize) {
            add("ImageWidth", std::to_string(m.pixelSize->width));
            add("ImageHeight", std::to_string(m.pixelSize->height));
        }
        if (m.thumbnail) {
            add("ThumbnailOffset", std::to_string(m.thumbnail->offset));
            add("ThumbnailLength", std::to_string(m.thumbnail->length));
        }
        // The preview's line of facts, without the file's own time (exiftool's differs).
        add("FactsLine", Quoted(FactsLine(m, {bytes.size(), ""})));
        std::printf("%s}\n", json.c_str());
    }
    return 0;
}

std::string RangeJson(const ByteRange& range) {
    return "[" + std::to_string(range.offset) + "," + std::to_string(range.length) + "]";
}

int PrintRaw(int count, char** files) {
    for (int i = 0; i < count; ++i) {
        const Bytes bytes = ReadWhole(files[i]);
        MemoryByteSource source(bytes.data(), bytes.size());
        const RawPreviews previews = FindRawPreviews(source);
        std::string json = "{\"SourceFile\":" + Quoted(files[i]) + ",\"Jpegs\":[";
        for (const ByteRange& jpeg : previews.jpegs)
            json += (&jpeg == &previews.jpegs.front() ? "" : ",") + RangeJson(jpeg);
        json += "]";
        if (previews.largest)
            json += ",\"Largest\":" + RangeJson(*previews.largest);
        if (previews.orientation)
            json += ",\"Orientation\":" + std::to_string(*previews.orientation);
        std::printf("%s}\n", json.c_str());
    }
    return 0;
}

// A corpus file with the places in it that a damaged copy changes on purpose.
struct Seed {
    std::string name;
    Bytes bytes;
    bool little = false;
    uint64_t base = 0;                  // the TIFF header
    std::vector<uint64_t> entries;      // each entry's 12 bytes
    std::vector<uint64_t> pointers;     // entries whose value is a directory offset
    std::vector<uint64_t> nexts;        // next-directory fields
    std::vector<uint64_t> directories;  // directory offsets, relative to the TIFF header
    std::vector<uint64_t> boxes;        // ISO base media box headers (CR3)
    std::vector<uint64_t> words;        // header fields holding an offset or length (RAF)
};

// The box headers of the types a CR3 reader follows, found by their type codes.
std::vector<uint64_t> FindBoxes(const Bytes& bytes) {
    static constexpr const char* kTypes[] = {"ftyp", "moov", "uuid", "trak", "mdia", "minf",
                                             "stbl", "stsd", "stsz", "co64", "stco", "CMT1",
                                             "THMB", "PRVW", "CRAW", "JPEG", "mdat"};
    std::vector<uint64_t> boxes;
    if (bytes.size() < 12 || std::memcmp(bytes.data() + 4, "ftypcrx ", 8) != 0)
        return boxes;
    for (size_t at = 0; at + 8 <= bytes.size(); ++at)
        for (const char* type : kTypes)
            if (std::memcmp(bytes.data() + at + 4, type, 4) == 0)
                boxes.push_back(at);
    return boxes;
}

Seed Examine(std::string name, Bytes bytes) {
    Seed seed{std::move(name), std::move(bytes)};
    MemoryByteSource source(seed.bytes.data(), seed.bytes.size());
    ByteRange tiff{0, seed.bytes.size()};
    if (const std::optional<ByteRange> exif = FindJpegExif(source))
        tiff = *exif;
    seed.base = tiff.offset;
    TiffWalk walk;
    walk.entry = [&](const TiffEntry& entry) {
        seed.entries.push_back(entry.place);
        if (entry.tag == 0x8769 || entry.tag == 0x014A)
            seed.pointers.push_back(entry.place);
        if (seed.directories.empty() || seed.directories.back() != entry.directory - tiff.offset)
            seed.directories.push_back(entry.directory - tiff.offset);
        return true;
    };
    walk.nextPointer = [&](uint64_t place) { seed.nexts.push_back(place); };
    WalkTiff(source, tiff.offset, tiff.length, walk);
    seed.little = walk.littleEndian;
    seed.boxes = FindBoxes(seed.bytes);
    if (seed.bytes.size() >= 92 && std::memcmp(seed.bytes.data(), "FUJIFILMCCD-RAW ", 16) == 0)
        seed.words = {84, 88};
    return seed;
}

class Mutator {
  public:
    Mutator(const Seed& seed, uint64_t number) : seed_(seed), random_(number) {}

    Bytes Damaged() {
        Bytes bytes = seed_.bytes;
        for (size_t steps = 1 + Below(3); steps > 0 && !bytes.empty(); --steps)
            Damage(bytes);
        return bytes;
    }

  private:
    size_t Below(size_t n) { return n ? static_cast<size_t>(random_() % n) : 0; }
    template <typename T>
    T Pick(const std::vector<T>& from) {
        return from[Below(from.size())];
    }

    void Put32(Bytes& bytes, uint64_t at, uint32_t value) {
        for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (seed_.little ? 8 * i : 24 - 8 * i));
    }

    // An offset or count that a careless reader would follow: 0, the end of the TIFF
    // structure or of the file, all ones, or the start of a directory (a loop).
    uint32_t Hostile(const Bytes& bytes) {
        const uint64_t end = bytes.size() - std::min<uint64_t>(seed_.base, bytes.size());
        switch (Below(6)) {
            case 0:
                return 0;
            case 1:
                return static_cast<uint32_t>(end);
            case 2:
                return static_cast<uint32_t>(end > 0 ? end - 1 : 0);
            case 3:
                return 0xFFFFFFFFu;
            case 4:
                return 0x80000000u + static_cast<uint32_t>(Below(16));
            default:
                return seed_.directories.empty() ? 8u
                                                 : static_cast<uint32_t>(Pick(seed_.directories));
        }
    }

    // A box's size: 0 (to the end of its parent), 1 (a 64-bit size follows), 8 (empty),
    // past the end, or the whole rest of the file (it contains itself and what follows).
    void DamageBox(Bytes& bytes) {
        const uint64_t at = Pick(seed_.boxes);
        if (at >= bytes.size())
            return;
        const uint64_t rest = bytes.size() - at;
        switch (Below(5)) {
            case 0: return PutBig32(bytes, at, 0);
            case 1:
                PutBig32(bytes, at, 1);
                PutBig32(bytes, at + 8, Below(2) ? 0 : 0xFFFFFFFFu);
                return PutBig32(bytes, at + 12, static_cast<uint32_t>(Below(2) ? rest : rest + 1));
            case 2: return PutBig32(bytes, at, 8);
            case 3: return PutBig32(bytes, at, static_cast<uint32_t>(rest + 1 + Below(64)));
            default: return PutBig32(bytes, at, static_cast<uint32_t>(rest));
        }
    }
    void PutBig32(Bytes& bytes, uint64_t at, uint32_t value) {
        for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }

    void Damage(Bytes& bytes) {
        if (!seed_.boxes.empty() && Below(2))
            return DamageBox(bytes);
        if (!seed_.words.empty() && Below(3) == 0)
            return Put32(bytes, Pick(seed_.words), Hostile(bytes));
        switch (Below(7)) {
            case 0:  // cut short
                bytes.resize(Below(bytes.size()));
                break;
            case 1:  // flipped bytes
                for (size_t n = 1 + Below(8); n > 0; --n)
                    bytes[Below(bytes.size())] ^= static_cast<uint8_t>(1 + Below(255));
                break;
            case 2:  // an entry's count
                if (!seed_.entries.empty())
                    Put32(bytes, Pick(seed_.entries) + 4, Hostile(bytes));
                break;
            case 3:  // an entry's value or value offset
                if (!seed_.entries.empty())
                    Put32(bytes, Pick(seed_.entries) + 8, Hostile(bytes));
                break;
            case 4:  // a next-directory field: the end, far away, or back to a directory
                if (!seed_.nexts.empty())
                    Put32(bytes, Pick(seed_.nexts), Hostile(bytes));
                break;
            case 5:  // an EXIF or SubIFD pointer back to a directory met before
                if (!seed_.pointers.empty() && !seed_.directories.empty())
                    Put32(bytes, Pick(seed_.pointers) + 8,
                          static_cast<uint32_t>(Pick(seed_.directories)));
                break;
            default:  // an entry's type
                if (!seed_.entries.empty()) {
                    const uint64_t at = Pick(seed_.entries) + (seed_.little ? 2 : 3);
                    if (at < bytes.size())
                        bytes[at] = static_cast<uint8_t>(Below(20));
                }
                break;
        }
    }

    const Seed& seed_;
    std::mt19937_64 random_;
};

uint64_t g_case = 0;

void PrintReplay() {
    std::fprintf(stderr, "metadata fuzz: replay with --seed=%llu --count=1\n",
                 static_cast<unsigned long long>(g_case));
}

// What must hold for any input: facts in range and ranges inside the file.
const char* Broken(const ImageMetadata& m, uint64_t size) {
    if (m.orientation && (*m.orientation < 1 || *m.orientation > 8))
        return "orientation out of range";
    if (m.thumbnail && (m.thumbnail->length == 0 || m.thumbnail->offset > size ||
                        m.thumbnail->length > size - m.thumbnail->offset))
        return "thumbnail outside the file";
    for (const auto* text :
         {&m.make, &m.model, &m.dateTimeOriginal, &m.subSecTimeOriginal, &m.offsetTimeOriginal})
        if (*text && (*text)->size() > size)
            return "a text longer than the file";
    if (m.pixelSize && (m.pixelSize->width == 0 || m.pixelSize->height == 0))
        return "an empty pixel size";
    return nullptr;
}

bool Outside(const ByteRange& range, uint64_t size) {
    return range.length == 0 || range.offset > size || range.length > size - range.offset;
}

const char* Broken(const RawPreviews& previews, uint64_t size) {
    if (previews.orientation && (*previews.orientation < 1 || *previews.orientation > 8))
        return "RAW orientation out of range";
    for (const ByteRange& jpeg : previews.jpegs)
        if (Outside(jpeg, size) || (previews.largest && jpeg.length > previews.largest->length))
            return "an embedded JPEG outside the file, or larger than the largest";
    if (previews.largest.has_value() != !previews.jpegs.empty())
        return "a largest JPEG that is not among the JPEGs";
    return nullptr;
}

void AddSeeds(const std::filesystem::path& path, std::vector<Seed>& seeds) {
    if (std::filesystem::is_directory(path)) {
        for (const auto& item : std::filesystem::directory_iterator(path))
            if (item.is_regular_file())
                AddSeeds(item.path(), seeds);
    } else {
        seeds.push_back(Examine(path.filename().string(), ReadWhole(path)));
    }
}

int Fuzz(int argc, char** argv) {
    uint64_t count = 50000, first = 1;
    std::vector<Seed> seeds;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--count=", 8) == 0)
            count = std::strtoull(argv[i] + 8, nullptr, 10);
        else if (std::strncmp(argv[i], "--seed=", 7) == 0)
            first = std::strtoull(argv[i] + 7, nullptr, 10);
        else
            AddSeeds(argv[i], seeds);
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "metadata fuzz: no files to start from\n");
        return 2;
    }
    std::sort(seeds.begin(), seeds.end(),
              [](const Seed& a, const Seed& b) { return a.name < b.name; });
#ifdef ZEMO_HAS_SANITIZER_CALLBACK
    __sanitizer_set_death_callback(PrintReplay);
#endif
    std::chrono::steady_clock::duration slowest{};
    uint64_t slowestCase = 0, overTenMs = 0;
    uint64_t found[2] = {};  // damaged copies where some fact was still found, or none
    for (uint64_t i = 0; i < count; ++i) {
        g_case = first + i;
        const Seed& seed = seeds[g_case % seeds.size()];
        const Bytes damaged = Mutator(seed, g_case).Damaged();
        // Exactly as large as the file, so a read past its end is caught by the sanitizer.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[damaged.size()]);
        std::copy(damaged.begin(), damaged.end(), exact.get());
        MemoryByteSource source(exact.get(), damaged.size());
        const auto started = std::chrono::steady_clock::now();
        const ImageMetadata m = ReadImageMetadata(source);
        const RawPreviews previews = FindRawPreviews(source);
        TiffWalk walk;
        uint64_t entries = 0;
        walk.entry = [&](const TiffEntry&) { return ++entries < 1000000; };
        WalkTiff(source, seed.base, damaged.size() - std::min<uint64_t>(seed.base, damaged.size()),
                 walk);
        const auto took = std::chrono::steady_clock::now() - started;
        overTenMs += took > std::chrono::milliseconds(10) ? 1 : 0;
        if (took > slowest) {
            slowest = took;
            slowestCase = g_case;
        }
        const char* broken = Broken(m, damaged.size());
        if (!broken)
            broken = Broken(previews, damaged.size());
        if (broken) {
            std::fprintf(stderr, "metadata fuzz: %s from %s\n", broken, seed.name.c_str());
            PrintReplay();
            return 1;
        }
        ++found[m.orientation || m.make || m.thumbnail || m.pixelSize || previews.largest ? 0 : 1];
    }
    std::printf(
        "metadata fuzz: %llu damaged copies of %zu files read (facts found in %llu, "
        "none in %llu); %llu took over 10 ms, the slowest %.3f ms (--seed=%llu)\n",
        static_cast<unsigned long long>(count), seeds.size(),
        static_cast<unsigned long long>(found[0]), static_cast<unsigned long long>(found[1]),
        static_cast<unsigned long long>(overTenMs),
        std::chrono::duration<double, std::milli>(slowest).count(),
        static_cast<unsigned long long>(slowestCase));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "print") == 0)
        return Print(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "raw") == 0)
        return PrintRaw(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "fuzz") == 0)
        return Fuzz(argc - 2, argv + 2);
    std::fprintf(stderr,
                 "usage: metadata_tool print FILE... | raw FILE... | fuzz [--count=N] [--seed=S] "
                 "FILE_OR_FOLDER...\n");
    return 2;
}
