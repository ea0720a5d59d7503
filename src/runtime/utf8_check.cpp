#include "runtime/utf8_check.h"

#include "runtime/mac_roman.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrune {
namespace {

// The first byte from p on beyond ASCII, or last when there is none.
const char* skipAscii(const char* p, const char* last) {
#if defined(__SSE2__)
    for (; last - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(bytes)); mask != 0) {
            return p + std::countr_zero(mask);
        }
    }
#endif
    while (p < last && static_cast<unsigned char>(*p) < 0x80) {
        ++p;
    }
    return p;
}

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::size_t Utf8Check::checkWhole(std::string_view bytes) {
    const char* const first = bytes.data();
    const char* const last = first + bytes.size();
    for (const char* p = skipAscii(first, last); p < last; p = skipAscii(p, last)) {
        beyondAscii_ = true;
        const std::size_t length = utf8LengthOf(static_cast<unsigned char>(*p));
        const auto at = static_cast<std::size_t>(p - first);
        if (length != 0 && at + length > bytes.size() && std::all_of(p + 1, last, isContinuation)) {
            return bytes.size() - at; // it may go on in the next block
        }
        char32_t cp = 0;
        const std::size_t taken = decodeUtf8(bytes, at, cp);
        if (taken == 0) {
            valid_ = false;
            return 0;
        }
        p += taken;
    }
    return 0;
}

bool Utf8Check::add(std::string_view bytes) {
    if (!valid_) {
        return false;
    }
    if (heldSize_ > 0) {
        const std::size_t length = utf8LengthOf(static_cast<unsigned char>(held_[0]));
        const std::size_t more = std::min(length - heldSize_, bytes.size());
        std::copy_n(bytes.data(), more, held_.data() + heldSize_);
        heldSize_ += more;
        bytes.remove_prefix(more);
        if (heldSize_ < length) {
            // Still cut short; what came so far must go on with the character.
            valid_ = std::all_of(held_.data() + 1, held_.data() + heldSize_, isContinuation);
            return valid_;
        }
        char32_t cp = 0;
        heldSize_ = 0;
        if (decodeUtf8(std::string_view(held_.data(), length), 0, cp) != length) {
            valid_ = false;
            return false;
        }
    }
    const std::size_t held = checkWhole(bytes);
    std::copy_n(bytes.end() - held, held, held_.data());
    heldSize_ = held;
    return valid_;
}

bool Utf8Check::finish() {
    if (heldSize_ > 0) {
        valid_ = false;
        heldSize_ = 0;
    }
    return valid_;
}

} // namespace kestrune
