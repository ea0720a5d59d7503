// The weights of ASCII characters a NameCollation keeps: read from ICU at
// start, and checked against the rules of the locale before they serve.

#include "runtime/name_collation.h"

#include "runtime/icu_handles.h"

#include <algorithm>

namespace kestrune {
namespace {

// What NameCollation::capitalsOf makes of a byte, as bits.
constexpr unsigned kCapital = 1;
constexpr unsigned kUnknown = 2; // past ASCII, or not weighed alone
constexpr unsigned kZero = 4;    // the digit 0
constexpr unsigned kDigit = 8;   // any digit: kZero once shifted down

// ICU's own markers: noncharacters that no name holds undamaged.
bool isMarker(UChar c) {
    return c >= 0xFDD0 && c <= 0xFDEF;
}

} // namespace

void NameCollation::readAsciiWeights() {
    const IcuElements elements(openElements());
    std::vector<std::uint32_t> weights;
    for (std::size_t c = 0; c < ascii_.size(); ++c) {
        const auto text = static_cast<char16_t>(c);
        weights.clear();
        appendPrimaries(elements.get(), &text, 1, weights);
        AsciiWeight& w = ascii_[c];
        w.count = static_cast<std::uint8_t>(std::min(weights.size(), w.primaries.size() + 1));
        std::copy_n(weights.begin(), std::min(weights.size(), w.primaries.size()),
                    w.primaries.begin());
        for (std::size_t k = 0; k < std::min(weights.size(), w.primaries.size()); ++k) {
            const std::uint32_t moved = reordered(weights[k]);
            for (int shift = 24; shift >= 0 && (moved >> shift & 0xFF) != 0; shift -= 8) {
                w.key[w.keyLength++] = static_cast<std::uint8_t>(moved >> shift);
                w.packed = w.packed << 8 | (moved >> shift & 0xFF);
            }
        }
        if (w.count == 1) {
            w.fold = static_cast<char>(c);
            for (std::size_t other = 0; other < c; ++other) {
                if (ascii_[other].count == 1 && ascii_[other].primaries[0] == w.primaries[0]) {
                    w.fold = static_cast<char>(other);
                    break;
                }
            }
        }
    }
    kinds_.fill(kUnknown);
    for (std::size_t c = 0; c < ascii_.size(); ++c) {
        const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        const bool digit = c >= '0' && c <= '9';
        kinds_[c] = static_cast<std::uint8_t>((ascii_[c].fold == '\0' ? kUnknown : 0) |
                                              (letter && c < 'a' ? kCapital : 0) |
                                              (digit ? kDigit : 0) | (c == '0' ? kZero : 0));
    }
}

std::uint32_t NameCollation::capitalsOf(std::string_view name) const {
    constexpr std::size_t kLength = 30;
    if (!asciiKeysTellApart_ || name.size() > kLength) {
        return 0;
    }
    std::uint32_t capitals = 0;
    unsigned unknown = 0;
    unsigned before = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned kind = kinds_[static_cast<unsigned char>(name[i])];
        // A leading zero weighs nothing.
        unknown |= (kind & kUnknown) | (kind & kZero & ~(before >> 1));
        capitals |= (kind & kCapital) << i;
        before = kind;
    }
    return unknown != 0 ? 0 : std::uint32_t{1} << kLength | capitals;
}

// Whether the key of a name of ASCII characters the table weighs tells
// them apart but for the case of letters: no two other characters weigh
// the same, no character's bytes begin another's, and none begins with a
// byte a run of digits may begin with.
bool NameCollation::asciiKeysTellApart() const {
    const auto letter = [](std::size_t c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; };
    const auto digit = [](std::size_t c) { return c >= '0' && c <= '9'; };
    for (std::size_t a = 0; a < ascii_.size(); ++a) {
        const AsciiWeight& wa = ascii_[a];
        if (wa.fold == '\0' || digit(a)) {
            continue;
        }
        if (wa.key[0] >= digitLead() && wa.key[0] <= digitLead() + digitSpan()) {
            return false;
        }
        for (std::size_t b = 0; b < ascii_.size(); ++b) {
            const AsciiWeight& wb = ascii_[b];
            if (b == a || wb.fold == '\0' || digit(b) || (letter(a) && b == (a ^ 0x20))) {
                continue;
            }
            if (wa.keyLength <= wb.keyLength &&
                std::equal(wa.key.begin(), wa.key.begin() + wa.keyLength, wb.key.begin())) {
                return false;
            }
        }
    }
    return true;
}

// The table is right for a locale whose rules weigh each ASCII character
// alone: one of them may begin a sequence the rules weigh as a whole (L and
// a middle dot), as a name's key takes the character before a stretch of
// other ones to ICU with them, but none may weigh by another one next to it
// (ch in Czech) or stand for several letters.
bool NameCollation::asciiWeighsAlone() const {
    for (const AsciiWeight& w : ascii_) {
        if (w.count > w.primaries.size()) {
            return false;
        }
    }
    const IcuSet contractions(uset_openEmpty());
    const IcuSet expansions(uset_openEmpty());
    if (contractions == nullptr || expansions == nullptr) {
        return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    ucol_getContractionsAndExpansions(elements_, contractions.get(), expansions.get(), true,
                                      &status);
    if (U_FAILURE(status)) {
        return false;
    }
    for (const USet* set : {contractions.get(), expansions.get()}) {
        const std::int32_t items = uset_getItemCount(set);
        for (std::int32_t i = 0; i < items; ++i) {
            UChar32 first = 0;
            UChar32 last = 0;
            std::array<UChar, 64> text{};
            status = U_ZERO_ERROR;
            const std::int32_t length =
                uset_getItem(set, i, &first, &last, text.data(),
                             static_cast<std::int32_t>(text.size()), &status);
            if (length == 0) {
                if (set == expansions.get() && first < 0x80) {
                    return false;
                }
                continue;
            }
            if (U_FAILURE(status) || length > static_cast<std::int32_t>(text.size())) {
                return false;
            }
            if (isMarker(text[0])) {
                continue;
            }
            for (std::int32_t k = 1; k < length; ++k) {
                if (text[static_cast<std::size_t>(k)] < 0x80) {
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace kestrune
