#pragma once
// Finding where lines end. A line ends at its first CR or LF, and CR LF is
// one line end; files come with any of the three.

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrune {

// The first CR or LF from p on, or last when there is none. One pass over
// the bytes, whichever line ends the text uses.
const char* FindLineBreak(const char* p, const char* last);

// The first CR, LF or stop from p on, or last when there is none. Inline:
// it is called once a field, and most fields are short.
inline const char* FindLineBreakOr(const char* p, const char* last, char stop) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i other = _mm_set1_epi8(stop);
    for (; last - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i found =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)),
                         _mm_cmpeq_epi8(bytes, other));
        if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(found)); mask != 0) {
            return p + std::countr_zero(mask);
        }
    }
#endif
    while (p < last && *p != '\r' && *p != '\n' && *p != stop) {
        ++p;
    }
    return p;
}

// How many line ends lie from p to last: every CR, and every LF that does
// not follow a CR. afterCR says the byte before p is a CR.
std::uint64_t CountLineEnds(const char* p, const char* last, bool afterCR);

// True when no byte from p to last lies beyond ASCII.
bool IsAscii(const char* p, const char* last);

} // namespace kestrune
