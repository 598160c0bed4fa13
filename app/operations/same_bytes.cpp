#include "app/operations/same_bytes.h"

#include <cstdint>
#include <cstring>

// The 16-byte registers: every processor the 64-bit program runs on has them. The 32-bit
// program is built for processors that may lack them, so there they are used only once the
// system says the processor has them; the compiler is told that one loop may use them.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define ZEMO_SAME_BYTES_SSE2 1
#define ZEMO_SSE2_LOOP
#elif defined(__GNUC__) && defined(__i386__)
#include <windows.h>
#include <emmintrin.h>
#define ZEMO_SAME_BYTES_SSE2 1
#define ZEMO_SAME_BYTES_ASK_SYSTEM 1
#define ZEMO_SSE2_LOOP __attribute__((target("sse2")))
#endif

namespace {

// Blocks are folded into one value without a branch, and tested once each.
constexpr size_t kBlockBytes = 256;

template <typename BlockDiffers>
bool SameBytesBy(const char* a, const char* b, size_t count, BlockDiffers blockDiffers) {
    size_t at = 0;
    for (; at + kBlockBytes <= count; at += kBlockBytes)
        if (blockDiffers(a + at, b + at))
            return false;
    for (; at < count; ++at)
        if (a[at] != b[at])
            return false;
    return true;
}

bool SameBytesPortable(const char* a, const char* b, size_t count) {
    return SameBytesBy(a, b, count, [](const char* x, const char* y) {
        uint64_t difference = 0;
        for (size_t at = 0; at < kBlockBytes; at += sizeof(uint64_t)) {
            uint64_t u, v;
            std::memcpy(&u, x + at, sizeof u);
            std::memcpy(&v, y + at, sizeof v);
            difference |= u ^ v;
        }
        return difference != 0;
    });
}

#ifdef ZEMO_SAME_BYTES_SSE2

ZEMO_SSE2_LOOP inline bool BlockDiffersSse2(const char* a, const char* b) {
    __m128i difference = _mm_setzero_si128();
    for (size_t at = 0; at < kBlockBytes; at += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at));
        difference = _mm_or_si128(difference, _mm_xor_si128(x, y));
    }
    return _mm_movemask_epi8(_mm_cmpeq_epi8(difference, _mm_setzero_si128())) != 0xFFFF;
}

ZEMO_SSE2_LOOP bool SameBytesSse2(const char* a, const char* b, size_t count) {
    size_t at = 0;
    for (; at + kBlockBytes <= count; at += kBlockBytes)
        if (BlockDiffersSse2(a + at, b + at))
            return false;
    return SameBytesPortable(a + at, b + at, count - at);
}

#endif

}  // namespace

bool SameBytes(const char* a, const char* b, size_t count) {
#if defined(ZEMO_SAME_BYTES_ASK_SYSTEM)
    static const bool sse2 = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;
    return sse2 ? SameBytesSse2(a, b, count) : SameBytesPortable(a, b, count);
#elif defined(ZEMO_SAME_BYTES_SSE2)
    return SameBytesSse2(a, b, count);
#else
    return SameBytesPortable(a, b, count);
#endif
}
