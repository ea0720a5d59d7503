#include "runtime/line_breaks.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrune {

const char* FindLineBreak(const char* p, const char* last) {
#if defined(__SSE2__)
    // Sixteen bytes at a time: both line end bytes looked for at once.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; last - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf));
        if (const auto found = static_cast<unsigned>(_mm_movemask_epi8(breaks)); found != 0) {
            return p + std::countr_zero(found);
        }
    }
#endif
    while (p < last && *p != '\r' && *p != '\n') {
        ++p;
    }
    return p;
}

std::uint64_t CountLineEnds(const char* p, const char* last, bool afterCR) {
    if (p == last) {
        return 0;
    }
    // From the second byte on, the byte before is in the bytes.
    std::uint64_t count = *p == '\r' || (*p == '\n' && !afterCR) ? 1 : 0;
    ++p;
#if defined(__SSE2__)
    // Each byte lane counts up to 255 line ends; the lanes are summed before
    // they could overflow.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (last - p >= 16) {
        __m128i lanes = _mm_setzero_si128();
        for (int k = 0; k < 255 && last - p >= 16; ++k, p += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 1));
            const __m128i ends = _mm_or_si128(
                _mm_cmpeq_epi8(bytes, cr),
                _mm_andnot_si128(_mm_cmpeq_epi8(before, cr), _mm_cmpeq_epi8(bytes, lf)));
            lanes = _mm_sub_epi8(lanes, ends); // a line end is -1
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::uint64_t>(_mm_cvtsi128_si64(sums)) +
                 static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    for (; p < last; ++p) {
        count += *p == '\r' || (*p == '\n' && p[-1] != '\r') ? 1 : 0;
    }
    return count;
}

bool IsAscii(const char* p, const char* last) {
    unsigned high = 0;
#if defined(__SSE2__)
    __m128i any = _mm_setzero_si128();
    for (; last - p >= 16; p += 16) {
        any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    high = static_cast<unsigned>(_mm_movemask_epi8(any));
#endif
    for (; p < last; ++p) {
        high |= static_cast<unsigned char>(*p) >> 7;
    }
    return high == 0;
}

} // namespace kestrune
