#include "runtime/letter_order.h"

#include "runtime/mac_roman.h"

namespace kestrune {
namespace {

// The base letter of a Latin letter Mac OS Roman holds, in lower case, or 0
// for anything else.
char baseLetter(char32_t cp) {
    if (cp < 0x80) {
        return (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') ? static_cast<char>(cp | 0x20)
                                                                    : '\0';
    }
    struct Range {
        char32_t first;
        char32_t last;
        char base;
    };
    static constexpr Range kRanges[] = {
        {0xC0, 0xC6, 'a'},   {0xE0, 0xE6, 'a'},     {0xC7, 0xC7, 'c'}, {0xE7, 0xE7, 'c'},
        {0xC8, 0xCB, 'e'},   {0xE8, 0xEB, 'e'},     {0xCC, 0xCF, 'i'}, {0xEC, 0xEF, 'i'},
        {0x131, 0x131, 'i'}, {0xD1, 0xD1, 'n'},     {0xF1, 0xF1, 'n'}, {0xD2, 0xD6, 'o'},
        {0xD8, 0xD8, 'o'},   {0xF2, 0xF6, 'o'},     {0xF8, 0xF8, 'o'}, {0x152, 0x153, 'o'},
        {0xDF, 0xDF, 's'},   {0xD9, 0xDC, 'u'},     {0xF9, 0xFC, 'u'}, {0xFF, 0xFF, 'y'},
        {0x178, 0x178, 'y'}, {0xFB01, 0xFB02, 'f'},
    };
    for (const Range& r : kRanges) {
        if (cp >= r.first && cp <= r.last) {
            return r.base;
        }
    }
    return '\0';
}

// The lower case of a letter, accent kept.
char32_t lowerCase(char32_t cp) {
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) {
        return cp + 0x20;
    }
    if (cp == 0x152) {
        return 0x153;
    }
    if (cp == 0x178) {
        return 0xFF;
    }
    return cp;
}

std::array<LetterWeight, 256> buildWeights() {
    // The byte of each code point Mac OS Roman has, to map lower cases back.
    std::array<std::uint8_t, 0x180> byteOf{};
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = macRomanToCodePoint(static_cast<unsigned char>(b));
        if (cp < byteOf.size()) {
            byteOf[cp] = static_cast<std::uint8_t>(b);
        }
    }
    std::array<LetterWeight, 256> weights{};
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const char32_t cp = macRomanToCodePoint(byte);
        LetterWeight& w = weights[byte];
        w.primary = byte;
        w.folded = byte;
        const char32_t lower = lowerCase(cp);
        if (lower != cp && lower < byteOf.size() && byteOf[lower] != 0) {
            w.folded = byteOf[lower];
        }
        if (const char base = baseLetter(cp); base != '\0') {
            w.primary = static_cast<std::uint8_t>(base);
            // Accented letters follow their base letter in the order of
            // their lower-case code points.
            const char32_t accented = lowerCase(cp);
            w.accent = accented < 0x80 ? 0 : static_cast<std::uint8_t>(1 + (accented & 0x7F));
        }
    }
    return weights;
}

} // namespace

const std::array<LetterWeight, 256>& LetterWeights() {
    static const std::array<LetterWeight, 256> weights = buildWeights();
    return weights;
}

} // namespace kestrune
