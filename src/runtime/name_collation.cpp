#include "runtime/name_collation.h"

#include "runtime/icu_handles.h"

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uloc.h>
#include <unicode/uset.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace kestrune {
namespace {

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
    const IcuCollator primary(ucol_clone(elements_, &status));
    const IcuElements elements(openElements());
    const IcuSet contractions(uset_openEmpty());
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

} // namespace kestrune
