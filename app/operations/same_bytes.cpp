#include "app/operations/same_bytes.h"

#include <cstdint>
#include <cstring>

// Every processor the 64-bit program runs on has the 16-byte registers; a 32-bit build has
// them where the compiler is told it may use them.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define ZEMO_SAME_BYTES_SSE2 1
#endif

namespace {

// Blocks are folded into one value without a branch, and tested once each.
constexpr size_t kBlockBytes = 256;

#ifdef ZEMO_SAME_BYTES_SSE2

bool BlockDiffers(const char* a, const char* b) {
    __m128i difference = _mm_setzero_si128();
    for (size_t at = 0; at < kBlockBytes; at += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at));
        difference = _mm_or_si128(difference, _mm_xor_si128(x, y));
    }
    return _mm_movemask_epi8(_mm_cmpeq_epi8(difference, _mm_setzero_si128())) != 0xFFFF;
}

#else

bool BlockDiffers(const char* a, const char* b) {
    uint64_t difference = 0;
    for (size_t at = 0; at < kBlockBytes; at += sizeof(uint64_t)) {
        uint64_t x, y;
        std::memcpy(&x, a + at, sizeof x);
        std::memcpy(&y, b + at, sizeof y);
        difference |= x ^ y;
    }
    return difference != 0;
}

#endif

}  // namespace

bool SameBytes(const char* a, const char* b, size_t count) {
    size_t at = 0;
    for (; at + kBlockBytes <= count; at += kBlockBytes)
        if (BlockDiffers(a + at, b + at))
            return false;
    for (; at < count; ++at)
        if (a[at] != b[at])
            return false;
    return true;
}
