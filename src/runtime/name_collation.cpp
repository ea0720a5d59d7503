#include "runtime/name_collation.h"

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uloc.h>
#include <unicode/uset.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace kestrune {
namespace {

// What NameCollation::capitalsOf makes of a byte, as bits.
constexpr unsigned kCapital = 1;
constexpr unsigned kUnknown = 2; // past ASCII, or not weighed alone
constexpr unsigned kZero = 4;    // the digit 0
constexpr unsigned kDigit = 8;   // any digit: kZero once shifted down

// The low bits that mark a collation element as the second half of the
// one before it.
constexpr std::int32_t kContinuation = 0xC0;

bool continues(std::int32_t element) {
    return element != UCOL_NULLORDER && (element & kContinuation) == kContinuation;
}

UCollator* openCollator(const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale.c_str(), &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        status = U_ZERO_ERROR;
        collator = ucol_open("", &status);
    }
    if (U_FAILURE(status)) {
        ucol_close(collator);
        throw std::runtime_error("no collation data for names");
    }
    return collator;
}

void set(UCollator* collator, UColAttribute attribute, UColAttributeValue value) {
    UErrorCode status = U_ZERO_ERROR;
    ucol_setAttribute(collator, attribute, value, &status);
}

int32_t clampedLength(std::size_t length) {
    return static_cast<int32_t>(std::min<std::size_t>(length, INT32_MAX));
}

struct CloseSet {
    void operator()(USet* set) const { uset_close(set); }
};
using SetHandle = std::unique_ptr<USet, CloseSet>;

struct CloseCollator {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

struct CloseElements {
    void operator()(UCollationElements* elements) const { ucol_closeElements(elements); }
};
using ElementsHandle = std::unique_ptr<UCollationElements, CloseElements>;

// ICU's own markers: noncharacters that no name holds undamaged.
bool isMarker(UChar c) {
    return c >= 0xFDD0 && c <= 0xFDEF;
}

std::string userLocale() {
    const char* locale = uloc_getDefault();
    char variant[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_getVariant(locale, variant, sizeof variant, &status);
    if (U_FAILURE(status) || std::strcmp(variant, "POSIX") == 0) {
        return {};
    }
    return locale;
}

} // namespace

NameCollation::NameCollation(const std::string& locale, bool tableForAscii)
    : elements_(openCollator(locale)) {
    try {
        ties_ = openCollator(locale);
        set(elements_, UCOL_NUMERIC_COLLATION, UCOL_OFF);
        set(ties_, UCOL_NUMERIC_COLLATION, UCOL_ON);
        set(ties_, UCOL_STRENGTH, UCOL_TERTIARY);
        UErrorCode status = U_ZERO_ERROR;
        if (ucol_getAttribute(elements_, UCOL_ALTERNATE_HANDLING, &status) == UCOL_SHIFTED) {
            variableTop_ = ucol_getVariableTop(elements_, &status);
        }
        readReordering();
        readAsciiWeights();
        asciiByTable_ = tableForAscii && asciiWeighsAlone();
        asciiKeysTellApart_ = asciiByTable_ && asciiKeysTellApart();
        kinds_.fill(kUnknown);
        for (std::size_t c = 0; c < ascii_.size(); ++c) {
            const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
            const bool digit = c >= '0' && c <= '9';
            kinds_[c] = static_cast<std::uint8_t>((ascii_[c].fold == '\0' ? kUnknown : 0) |
                                                  (letter && c < 'a' ? kCapital : 0) |
                                                  (digit ? kDigit : 0) | (c == '0' ? kZero : 0));
        }
    } catch (...) {
        ucol_close(ties_);
        ucol_close(elements_);
        throw;
    }
}

NameCollation::~NameCollation() {
    ucol_close(ties_);
    ucol_close(elements_);
}

const NameCollation& NameCollation::ForUser() {
    static const NameCollation collation(userLocale());
    return collation;
}

int NameCollation::compareTies(std::string_view a, std::string_view b) const {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = ucol_strcollUTF8(ties_, a.data(), clampedLength(a.size()),
                                                     b.data(), clampedLength(b.size()), &status);
    return U_FAILURE(status) ? 0 : static_cast<int>(result);
}

UCollationElements* NameCollation::openElements() const {
    UErrorCode status = U_ZERO_ERROR;
    UCollationElements* elements = ucol_openElements(elements_, u"", 0, &status);
    if (U_FAILURE(status)) {
        ucol_closeElements(elements);
        throw std::bad_alloc();
    }
    return elements;
}

void NameCollation::appendPrimaries(UCollationElements* elements, const char16_t* text,
                                    std::size_t length, std::vector<std::uint32_t>& weights) const {
    UErrorCode status = U_ZERO_ERROR;
    ucol_setText(elements, text, clampedLength(length), &status);
    std::int32_t element = U_SUCCESS(status) ? ucol_next(elements, &status) : UCOL_NULLORDER;
    while (element != UCOL_NULLORDER && U_SUCCESS(status)) {
        // A weight of more than two bytes comes in two elements.
        std::uint32_t primary = static_cast<std::uint32_t>(ucol_primaryOrder(element)) << 16;
        element = ucol_next(elements, &status);
        if (continues(element)) {
            primary |= static_cast<std::uint32_t>(ucol_primaryOrder(element)) & 0xFFFF;
            while (continues(element)) {
                element = ucol_next(elements, &status);
            }
        }
        if (primary > variableTop_) {
            weights.push_back(primary);
        }
    }
}

// A locale that moves scripts (Greek first, say) moves the first bytes of
// their weights, which ICU's collation elements keep as they are. Each
// script's first weight is that of a marker ICU keeps for it (U+FDD1 and a
// letter of the script), and the marker's sort key holds the byte the
// script moved to; every weight from there up to the next script moves by
// the same amount.
void NameCollation::readReordering() {
    UErrorCode status = U_ZERO_ERROR;
    if (ucol_getReorderCodes(elements_, nullptr, 0, &status) <= 0) {
        return;
    }
    status = U_ZERO_ERROR;
    const std::unique_ptr<UCollator, CloseCollator> primary(ucol_clone(elements_, &status));
    const ElementsHandle elements(openElements());
    const SetHandle contractions(uset_openEmpty());
    if (U_FAILURE(status) || contractions == nullptr) {
        return;
    }
    ucol_setStrength(primary.get(), UCOL_PRIMARY);
    ucol_getContractionsAndExpansions(elements_, contractions.get(), nullptr, false, &status);
    struct Start {
        std::uint32_t weight; // the first two bytes
        std::uint8_t lead;    // where the first moves to
    };
    std::vector<Start> starts;
    std::vector<std::uint32_t> weights;
    const auto addStart = [&](const UChar* text, std::int32_t length) {
        weights.clear();
        appendPrimaries(elements.get(), text, static_cast<std::size_t>(length), weights);
        std::array<std::uint8_t, 8> key{};
        if (!weights.empty() && ucol_getSortKey(primary.get(), text, length, key.data(),
                                                static_cast<std::int32_t>(key.size())) > 0) {
            starts.push_back({weights.front() >> 16, key[0]});
        }
    };
    const std::int32_t items = uset_getItemCount(contractions.get());
    for (std::int32_t i = 0; i < items && U_SUCCESS(status); ++i) {
        UChar32 first = 0;
        UChar32 last = 0;
        std::array<UChar, 16> text{};
        const std::int32_t length = uset_getItem(contractions.get(), i, &first, &last, text.data(),
                                                 static_cast<std::int32_t>(text.size()), &status);
        if (length >= 2 && length <= static_cast<std::int32_t>(text.size()) && text[0] == 0xFDD1) {
            addStart(text.data(), length);
        }
    }
    // An unassigned code point: the weights from its own on stay.
    addStart(u"\U00040000", 2);
    status = U_ZERO_ERROR;
    if (starts.empty()) {
        return;
    }
    std::sort(starts.begin(), starts.end(),
              [](const Start& a, const Start& b) { return a.weight < b.weight; });
    leads_.resize(0x10000);
    for (std::uint32_t weight = 0; weight < 0x10000; ++weight) {
        leads_[weight] = static_cast<std::uint8_t>(weight >> 8);
    }
    for (std::size_t k = 0; k < starts.size(); ++k) {
        // A script that starts a first byte takes all of it.
        std::uint32_t begin = starts[k].weight;
        if (k == 0 || starts[k - 1].weight >> 8 != begin >> 8) {
            begin &= 0xFF00;
        }
        std::uint32_t end = 0x10000;
        if (k + 1 < starts.size()) {
            end = starts[k + 1].weight;
            if (starts[k + 1].weight >> 8 != starts[k].weight >> 8) {
                end &= 0xFF00;
            }
        }
        const auto shift = static_cast<std::uint8_t>(starts[k].lead - (starts[k].weight >> 8));
        for (std::uint32_t weight = begin; weight < end; ++weight) {
            leads_[weight] = static_cast<std::uint8_t>((weight >> 8) + shift);
        }
    }
}

void NameCollation::readAsciiWeights() {
    const ElementsHandle elements(openElements());
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
    const SetHandle contractions(uset_openEmpty());
    const SetHandle expansions(uset_openEmpty());
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
