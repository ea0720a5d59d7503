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

} // namespace kestrune
