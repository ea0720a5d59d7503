#include "runtime/eight_bit_text.h"

#include "runtime/mac_roman.h"
#include "runtime/utf8_text.h"
#include "runtime/windows_1252.h"

#include <cstdlib>

namespace kestrune {
namespace {

// What a character is to a word.
enum Kind : unsigned char {
    Other,   // a digit, a blank, a symbol, a character no text uses
    Small,   // a small letter
    Capital, // a capital letter
    Quote,   // quotes and apostrophes stand next to letters in any text
};

bool isLetter(Kind kind) {
    return kind == Small || kind == Capital;
}

// The kinds of the characters the high bytes of either text give.
Kind kindOf(char32_t cp) {
    if ((cp >= 'a' && cp <= 'z') || cp == 0xAA || cp == 0xB5 || cp == 0xBA ||
        (cp >= 0xDF && cp <= 0xFF && cp != 0xF7)) {
        return Small;
    }
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) {
        return Capital;
    }
    switch (cp) {
    case 0x0152: // Œ
    case 0x0160: // Š
    case 0x0178: // Ÿ
    case 0x017D: // Ž
    case 0x03A9: // Ω
        return Capital;
    case 0x0131: // ı
    case 0x0153: // œ
    case 0x0161: // š
    case 0x017E: // ž
    case 0x0192: // ƒ
    case 0x03C0: // π
    case 0xFB01: // ﬁ
    case 0xFB02: // ﬂ
        return Small;
    case '"':
    case '\'':
    case 0x00AB:
    case 0x00BB:
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x2039:
    case 0x203A:
        return Quote;
    default:
        return Other;
    }
}

// The kind of every byte in either text (index 0 Windows-1252, 1 Mac OS Roman).
using Kinds = std::array<std::array<Kind, 256>, 2>;
const Kinds& kinds() {
    static const Kinds table = [] {
        Kinds k{};
        for (unsigned b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            k[0][b] = kindOf(windows1252ToCodePoint(byte));
            k[1][b] = kindOf(macRomanToCodePoint(byte));
        }
        return k;
    }();
    return table;
}

// The lead past which more text will not turn the guess around.
constexpr std::int64_t kSettled = 256;

} // namespace

void EightBitGuess::weigh(unsigned char before, unsigned char byte, unsigned char after) {
    const Kinds& k = kinds();
    for (std::size_t e = 0; e < 2; ++e) {
        const Kind kind = k[e][byte];
        const Kind previous = k[e][before];
        if (kind == Quote || !(isLetter(previous) || isLetter(k[e][after]))) {
            continue;
        }
        const bool fits = isLetter(kind) && !(previous == Small && kind == Capital);
        score_[e] += fits ? 1 : -1;
    }
}

void EightBitGuess::add(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    if (n == 0) {
        return;
    }
    if (pending_ != 0) {
        weigh(beforePending_, pending_, p[0]);
        pending_ = 0;
    }
    std::size_t i = 0;
    while (i < n) {
        // ASCII runs, eight bytes at a time.
        while (i + 8 <= n && IsAsciiText(std::string_view(bytes.data() + i, 8))) {
            i += 8;
        }
        while (i < n && p[i] < 0x80) {
            ++i;
        }
        if (i == n) {
            break;
        }
        const unsigned char before = i > 0 ? p[i - 1] : last_;
        if (i + 1 == n) {
            pending_ = p[i];
            beforePending_ = before;
            break;
        }
        weigh(before, p[i], p[i + 1]);
        ++i;
    }
    last_ = p[n - 1];
}

EightBitText EightBitGuess::likelier() const {
    std::array<std::int64_t, 2> score = score_;
    if (pending_ != 0) {
        // The text's last byte, with nothing after it.
        EightBitGuess last = *this;
        last.pending_ = 0;
        last.weigh(beforePending_, pending_, 0);
        score = last.score_;
    }
    return score[1] > score[0] ? EightBitText::MacRoman : EightBitText::Windows1252;
}

bool EightBitGuess::settled() const {
    return std::llabs(score_[0] - score_[1]) >= kSettled;
}

} // namespace kestrune
