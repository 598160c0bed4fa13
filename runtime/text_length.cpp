#include "runtime/text_length.h"

#include <emmintrin.h>
#include <intrin.h>

#include <bit>
#include <cstring>

#include "runtime/text.h"

// The vector scan is compiled for SSE2 even where the rest of the program is not, and
// only runs after the processor was checked.
#if defined(__GNUC__)
#define ZEMO_TARGET_SSE2 __attribute__((target("sse2")))
#else
#define ZEMO_TARGET_SSE2
#endif

namespace {

using LengthScan = int32_t (*)(const char*);

int32_t FirstTextLength(const char* text);
LengthScan g_lengthScan = FirstTextLength;

int32_t FirstTextLength(const char* text) {
    g_lengthScan = ProcessorHasSse2() ? TextLengthVector : TextLengthWords;
    return g_lengthScan(text);
}

}  // namespace

bool ProcessorHasSse2() {
    int registers[4] = {};  // EAX, EBX, ECX, EDX
    __cpuid(registers, 1);
    return (static_cast<unsigned>(registers[3]) & (1u << 26)) != 0;
}

ZEMO_TARGET_SSE2 int32_t TextLengthVector(const char* text) {
    const uintptr_t address = reinterpret_cast<uintptr_t>(text);
    const uintptr_t offset = address & 15;
    const char* block = reinterpret_cast<const char*>(address - offset);
    const __m128i zero = _mm_setzero_si128();
    // The bytes of the first block before the text are shifted out of the mask.
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                        _mm_load_si128(reinterpret_cast<const __m128i*>(block)), zero))) >>
                    offset;
    if (mask)
        return std::countr_zero(mask);
    for (;;) {
        block += 16;
        mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(block)), zero)));
        if (mask)
            return static_cast<int32_t>(block - text) + std::countr_zero(mask);
    }
}

int32_t TextLengthWords(const char* text) {
    const char* p = text;
    for (; reinterpret_cast<uintptr_t>(p) & 3; ++p) {
        if (*p == 0)
            return static_cast<int32_t>(p - text);
    }
    for (;; p += 4) {
        uint32_t word;
        std::memcpy(&word, p, 4);
        // Nonzero exactly when one of the four bytes is zero.
        if ((word - 0x01010101u) & ~word & 0x80808080u)
            break;
    }
    while (*p)
        ++p;
    return static_cast<int32_t>(p - text);
}

int32_t TextLength(const char* text) {
    return text ? g_lengthScan(text) : 0;
}
