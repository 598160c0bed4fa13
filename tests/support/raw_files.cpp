#include "tests/support/raw_files.h"

#include <cstdint>
#include <tuple>

#include "tests/unit/tiff_builder.h"

namespace {

// Where the JPEGs start, after the directories.
constexpr uint32_t kJpegs = 4096;

// The TIFF's bytes padded to `at`, then `jpeg`.
std::string Then(std::string bytes, size_t at, const std::string& jpeg) {
    bytes.resize(at, '\0');
    return bytes + jpeg;
}

std::string Big32(uint32_t v) {
    return {char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)};
}

std::string Box(const std::string& type, const std::string& payload) {
    return Big32(static_cast<uint32_t>(8 + payload.size())) + type + payload;
}

uint32_t Size(const std::string& bytes) {
    return static_cast<uint32_t>(bytes.size());
}

}  // namespace

std::string NefBytes(const std::string& jpeg, int orientation, size_t filler) {
    TiffBuilder tiff(false);
    const int ifd0 = tiff.Directory(), sub = tiff.Directory();
    tiff.Short(ifd0, 0x0112, static_cast<uint16_t>(orientation));
    tiff.Pointers(ifd0, 0x014A, {sub});
    tiff.Long(sub, 0x0201, kJpegs);
    tiff.Long(sub, 0x0202, Size(jpeg));
    return Then(tiff.Build(), kJpegs, jpeg) + std::string(filler, '\x11');
}

std::string DngBytes(const std::string& small, const std::string& large) {
    TiffBuilder tiff(true);
    const int ifd0 = tiff.Directory(), sub = tiff.Directory();
    for (const auto& [d, at, jpeg] :
         {std::tuple{ifd0, kJpegs, &small}, std::tuple{sub, kJpegs + Size(small), &large}}) {
        tiff.Short(d, 0x00FE, 1);  // a reduced-resolution copy
        tiff.Short(d, 0x0103, 7);
        tiff.Long(d, 0x0111, at);
        tiff.Long(d, 0x0117, Size(*jpeg));
    }
    tiff.Pointers(ifd0, 0x014A, {sub});
    return Then(tiff.Build(), kJpegs, small) + large;
}

std::string DngWithoutJpegBytes() {
    TiffBuilder tiff(true);
    tiff.Short(tiff.Directory(), 0x0112, 1);
    return tiff.Build() + std::string(4000, '\x33');
}

std::string RafBytes(const std::string& jpeg) {
    std::string raf = "FUJIFILMCCD-RAW 0201";
    raf.resize(84, '\0');
    raf += Big32(256) + Big32(Size(jpeg));
    return Then(raf, 256, jpeg) + std::string(3000, '\x22');
}

std::string Cr3Bytes(const std::string& thumbnail, const std::string& preview,
                     const std::string& full) {
    const std::string ftyp = Box("ftyp", "crx " + Big32(1) + "crx isom");
    const std::string canon = Box(
        "uuid", std::string("\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48", 16) +
                    Box("THMB", Big32(0) + Big32(0) + Big32(Size(thumbnail)) + Big32(0) + thumbnail));
    const std::string prvw = Box(
        "uuid", std::string("\xea\xf4\x2b\x5e\x1c\x98\x4b\x88\xb9\xfb\xb7\xdc\x40\x6e\x4d\x16", 16) +
                    Big32(0) + Big32(1) +
                    Box("PRVW", Big32(0) + Big32(0) + Big32(0) + Big32(Size(preview)) + preview));
    const auto moov = [&](uint32_t sampleAt) {
        const std::string entry = Box("CRAW", std::string(78, '\0') + Box("JPEG", Big32(0)));
        const std::string stbl =
            Box("stbl", Box("stsd", Big32(0) + Big32(1) + entry) +
                            Box("stsz", Big32(0) + Big32(0) + Big32(1) + Big32(Size(full))) +
                            Box("stco", Big32(0) + Big32(1) + Big32(sampleAt)));
        return Box("moov", canon + Box("trak", Box("mdia", Box("minf", stbl))));
    };
    const uint32_t sampleAt = Size(ftyp) + Size(moov(0)) + Size(prvw) + 8;
    return ftyp + moov(sampleAt) + prvw + Box("mdat", full);
}
