#pragma once
// How names compare for the people who read them: by the rules of their
// language, as ICU's collation for their locale has them. A name weighs
// first by its letters, case and accents left aside (ICU's primary
// weights), with runs of ASCII digits by their value; accents and then case
// break the ties that leaves, as ICU compares names itself.
//
// ASCII characters weigh what a table taken from ICU once, at start, says
// they weigh, wherever the locale's rules let each of them weigh alone: most
// names then never reach ICU. Once made a collation never changes, so any
// number of threads may use one at once.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct UCollator;
struct UCollationElements;

namespace kestrune {

class NameCollation {
public:
    // What an ASCII character weighs on its own.
    struct AsciiWeight {
        // Its primary weights as ICU gives them, without the ignorable ones.
        std::uint8_t count = 0;
        std::array<std::uint32_t, 2> primaries{};
        // The bytes they add to a name's key.
        std::uint8_t keyLength = 0;
        std::array<std::uint8_t, 8> key{};
        std::uint64_t packed = 0; // the same bytes, the last at the low end
        // The first ASCII character of the same one primary weight: what
        // Find compares. 0 where the character weighs nothing or more than
        // one weight.
        char fold = 0;
    };

    // locale: an ICU locale ID, "" for the root collation. tableForAscii
    // false weighs every character through ICU, even where the table could.
    explicit NameCollation(const std::string& locale, bool tableForAscii = true);
    ~NameCollation();
    NameCollation(const NameCollation&) = delete;
    NameCollation& operator=(const NameCollation&) = delete;

    // The collation of the user's locale (ICU's default one, from the
    // environment), made on first use. The POSIX locale, whose rules are
    // plain code point order, gets the root collation.
    static const NameCollation& ForUser();

    // Negative, 0 or positive as a comes before, ties with or comes after
    // b by ICU's own comparison, accents and case too, numbers by value:
    // what orders names whose keys are equal.
    int compareTies(std::string_view a, std::string_view b) const;

    // Whether ASCII characters weigh by the table.
    bool asciiByTable() const { return asciiByTable_; }
    // For a name whose key tells its characters apart but for the case of
    // its letters (at most 30 ASCII characters the table weighs, no digit
    // run with a leading zero), bit 30 and the bit of each capital's place:
    // two such names with the same key are the same name exactly when these
    // are equal. 0 for any other name.
    std::uint32_t capitalsOf(std::string_view name) const;
    const AsciiWeight& ascii(unsigned char c) const { return ascii_[c & 0x7F]; }
    // The first bytes of the keys of the digits 0 and 9, between which a
    // run of ASCII digits puts the first byte of its part of a key.
    std::uint8_t digitLead() const { return ascii_['0'].key[0]; }
    std::uint8_t digitSpan() const {
        const std::uint8_t nine = ascii_['9'].key[0];
        return nine > digitLead() ? static_cast<std::uint8_t>(nine - digitLead()) : 0;
    }

    // An iterator over the collation elements of a text, for one thread;
    // ucol_closeElements gives it back.
    UCollationElements* openElements() const;
    // Appends the primary weights of text (UTF-16) to weights, leaving out
    // the ignorable ones, in ICU's own values (before any reordering of
    // scripts). elements comes from openElements.
    void appendPrimaries(UCollationElements* elements, const char16_t* text, std::size_t length,
                         std::vector<std::uint32_t>& weights) const;
    // The primary weight with its first byte moved where the locale puts
    // its script (Greek before Latin in Greek, say).
    std::uint32_t reordered(std::uint32_t primary) const {
        return leads_.empty() ? primary
                              : (primary & 0xFFFFFF) | std::uint32_t{leads_[primary >> 16]} << 24;
    }

private:
    void readReordering();
    void readAsciiWeights();
    bool asciiWeighsAlone() const;
    bool asciiKeysTellApart() const;

    UCollator* elements_ = nullptr; // what the weights are read from
    UCollator* ties_ = nullptr;     // tertiary, numbers by value
    // Primary weights up to it are ignored, where the locale ignores
    // blanks and punctuation; 0 where it does not.
    std::uint32_t variableTop_ = 0;
    // By the first two bytes of a primary weight, its first byte once
    // reordered; empty where the locale keeps ICU's order of scripts.
    std::vector<std::uint8_t> leads_;
    std::array<AsciiWeight, 128> ascii_{};
    bool asciiByTable_ = false;
    bool asciiKeysTellApart_ = false;
    // What capitalsOf makes of each byte.
    std::array<std::uint8_t, 256> kinds_{};
};

} // namespace kestrune
