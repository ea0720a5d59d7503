#include "runtime/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace kestrune {
namespace {

// Digits are read and written eight bytes at once, the first byte lowest.
static_assert(std::endian::native == std::endian::little);

constexpr int kFloatMaxDigits = 10;

// The binary exponent as the number texts use it: one less than floor(log2|x|)
// for normal numbers, 0 for zero and subnormal numbers.
int textExponent(double x) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const int field = static_cast<int>((bits >> 52) & 0x7FF);
    return field == 0 ? 0 : field - 1024;
}

bool isFixedStyle(int e) {
    return e >= -8 && e < 31;
}

int fixedDigits(int e) {
    return std::max(1, 10 - (12 * e) / 39);
}

void appendFixed(std::string& out, double x, int digits) {
    std::array<char, 64> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, digits);
    char* end = res.ptr;
    while (end > buf.data() && end[-1] == '0') {
        --end;
    }
    if (end > buf.data() && end[-1] == '.') {
        --end;
    }
    if (buf[0] != '-') {
        out.push_back(' ');
    }
    out.append(buf.data(), end);
}

void appendScientific(std::string& out, double x) {
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), x,
                                   std::chars_format::scientific, kFloatMaxDigits - 2);
    const std::string_view text(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
    const auto e = text.find('e');
    if (e == std::string_view::npos) { // inf, nan
        out.append(text);
        return;
    }
    std::size_t mantissaEnd = e;
    if (text.find('.') < e) {
        while (text[mantissaEnd - 1] == '0') {
            --mantissaEnd;
        }
        if (text[mantissaEnd - 1] == '.') {
            --mantissaEnd;
        }
    }
    out.append(text.substr(0, mantissaEnd));
    out.append(text.substr(e));
}

bool isSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Where a number's digits begin: after white space and an optional sign.
std::size_t skipSpaceAndSign(std::string_view s, bool& negative) {
    std::size_t i = 0;
    while (i < s.size() && isSpace(static_cast<unsigned char>(s[i]))) {
        ++i;
    }
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    return i;
}

// Decimal text at the start of s (after white space): sign, digits with one
// optional point, optional exponent. Anything after it is ignored.
double readDecimal(std::string_view s) {
    bool negative = false;
    std::size_t i = skipSpaceAndSign(s, negative);
    const std::size_t start = i;
    std::size_t intDigits = 0;
    std::size_t leadingZeros = 0; // zeros before the first non-zero digit
    bool seenNonZero = false;
    std::size_t digits = 0;
    bool seenPoint = false;
    for (; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (isDigit(c)) {
            ++digits;
            if (!seenPoint) {
                ++intDigits;
            }
            if (c != '0') {
                seenNonZero = true;
            } else if (!seenNonZero) {
                ++leadingZeros;
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < s.size() && isDigit(static_cast<unsigned char>(s[j]))) {
            for (; j < s.size() && isDigit(static_cast<unsigned char>(s[j])); ++j) {
                exponent = std::min<long long>(exponent * 10 + (s[j] - '0'), 1'000'000'000LL);
            }
            if (expNegative) {
                exponent = -exponent;
            }
            i = j;
        }
    }
    double value = 0.0;
    const auto res =
        std::from_chars(s.data() + start, s.data() + i, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Beyond the doubles: decide between overflow and underflow by the
        // decimal magnitude of the first significant digit.
        const long long magnitude =
            (intDigits > leadingZeros ? static_cast<long long>(intDigits - leadingZeros) - 1
                                      : -static_cast<long long>(leadingZeros - intDigits) - 1) +
            exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (res.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

double decimalValue(std::uint64_t mantissa, int places, bool negative) {
    return PlainDecimal{mantissa, places, negative}.value();
}

// The form every number in a document takes: white space, an optional
// sign, digits with at most one point, and nothing after them. When the
// digits make an integer below 2^53 and the point stands at most 22 places
// from the end, both the integer and the power of ten are exact doubles and
// one division rounds their quotient correctly, which is what readDecimal
// gives too. False, with out untouched, for every other text.
bool readPlainDecimal(std::string_view s, double& out) {
    bool negative = false;
    std::size_t i = skipSpaceAndSign(s, negative);
    constexpr int kMaxDigits = 19; // no overflow of 64 bits below this
    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int places = -1; // digits after the point; -1 while there is none
    for (; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (isDigit(c)) {
            if (++digits > kMaxDigits) {
                return false;
            }
            mantissa = mantissa * 10 + (c - '0');
            places += places >= 0 ? 1 : 0;
        } else if (c == '.' && places < 0) {
            places = 0;
        } else {
            return false;
        }
    }
    if (digits == 0 || mantissa >= kExactLimit || places >= static_cast<int>(kPowersOfTen.size())) {
        return false;
    }
    out = decimalValue(mantissa, places, negative);
    return true;
}

int digitValue(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return 99;
}

// Unsigned 64-bit integer in a base, with white space and one sign in front;
// '-' negates modulo 2^64, an overflow saturates.
double readInteger(std::string_view s, int base) {
    bool negative = false;
    std::size_t i = skipSpaceAndSign(s, negative);
    std::uint64_t value = 0;
    bool overflow = false;
    for (; i < s.size(); ++i) {
        const int d = digitValue(static_cast<unsigned char>(s[i]));
        if (d >= base) {
            break;
        }
        const auto b = static_cast<std::uint64_t>(base);
        if (value >
            (std::numeric_limits<std::uint64_t>::max() - static_cast<std::uint64_t>(d)) / b) {
            overflow = true;
        }
        value = value * b + static_cast<std::uint64_t>(d);
    }
    if (overflow) {
        value = std::numeric_limits<std::uint64_t>::max();
    } else if (negative) {
        value = ~value + 1;
    }
    return static_cast<double>(static_cast<std::int64_t>(value));
}

// std::rint in the default rounding mode, without a library call where the
// processor has no rounding instruction: adding and taking away 2^52 leaves
// a smaller magnitude rounded to the nearest integer, ties to even; from
// 2^52 on every double is an integer already (and NaN and infinities stay).
double nearestEven(double x) {
    constexpr double kTwo52 = 4503599627370496.0;
    if (!(std::fabs(x) < kTwo52)) {
        return x;
    }
    const double magnitude = (std::fabs(x) + kTwo52) - kTwo52;
    return std::copysign(magnitude, x);
}

} // namespace

void appendPSstr(std::string& out, double x) {
    const int e = textExponent(x);
    if (isFixedStyle(e)) {
        appendFixed(out, x, fixedDigits(e));
    } else {
        appendScientific(out, x);
    }
}

std::string PSstr(double x) {
    std::string out;
    appendPSstr(out, x);
    return out;
}

namespace {

// The common short number read eight bytes at once: digits with at most one
// point, then a comma, all within the eight bytes at p. Gives the same
// mantissa, places and end as the byte loop below, or false to leave the
// text to it.
bool readShortDecimal(const char* p, std::uint64_t& mantissa, int& places, const char*& stop) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    std::uint64_t word = 0;
    std::memcpy(&word, p, 8);
    // A byte of other is zero exactly when its byte of word is a digit; marks
    // has the top bit of every other byte.
    const std::uint64_t notThirties = (word & (0xF0 * kOnes)) ^ (0x30 * kOnes);
    const std::uint64_t aboveNine = ((word & (0x0F * kOnes)) + (0x06 * kOnes)) & (0x10 * kOnes);
    const std::uint64_t other = notThirties | aboveNine;
    std::uint64_t marks = (((other & (0x7F * kOnes)) + (0x7F * kOnes)) | other) & (0x80 * kOnes);
    if (marks == 0) {
        return false;
    }
    const int whole = std::countr_zero(marks) / 8; // digits before the first other byte
    int end = whole;
    int fraction = -1;
    if (p[whole] == '.') {
        marks &= marks - 1;
        if (marks == 0) {
            return false;
        }
        end = std::countr_zero(marks) / 8;
        fraction = end - whole - 1;
    }
    const int digits = whole + std::max(fraction, 0);
    if (p[end] != ',' || digits == 0) {
        return false;
    }
    // The digits side by side without the point, right-aligned behind zeros,
    // then eight digits multiplied and added at once.
    const std::uint64_t below = whole == 0 ? 0 : ~std::uint64_t{0} >> (64 - 8 * whole);
    std::uint64_t packed = (word & below) | ((word >> 8) & ~below);
    const std::uint64_t kept = (std::uint64_t{1} << (8 * digits)) - 1;
    packed = ((packed & kept) - ((0x30 * kOnes) & kept)) << (8 * (8 - digits));
    packed = packed * 10 + (packed >> 8);
    packed = (((packed & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
              (((packed >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
             32;
    mantissa = static_cast<std::uint32_t>(packed);
    places = fraction;
    stop = p + end;
    return true;
}

} // namespace

bool readPlainDecimalField(std::string_view line, std::size_t& pos, double& out) {
    PlainDecimal decimal;
    if (!readPlainDecimalField(line, pos, decimal)) {
        return false;
    }
    out = decimal.value();
    return true;
}

bool readPlainDecimalField(std::string_view line, std::size_t& pos, PlainDecimal& out) {
    const char* p = line.data() + pos;
    const char* const end = line.data() + line.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (end - p >= 8) {
        std::uint64_t mantissa = 0;
        int places = -1;
        if (const char* stop = nullptr; readShortDecimal(p, mantissa, places, stop)) {
            out = PlainDecimal{mantissa, places, negative};
            pos = static_cast<std::size_t>(stop - line.data());
            return true;
        }
    }
    // Digits before and after the point; more than 19 in all is refused
    // below, so a mantissa that wrapped is never used.
    std::uint64_t mantissa = 0;
    const char* const whole = p;
    while (p < end && isDigit(static_cast<unsigned char>(*p))) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        ++p;
    }
    int digits = static_cast<int>(p - whole);
    int places = -1; // digits after the point; -1 while there is none
    if (p < end && *p == '.') {
        const char* const fraction = ++p;
        while (p < end && isDigit(static_cast<unsigned char>(*p))) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
            ++p;
        }
        places = static_cast<int>(p - fraction);
        digits += places;
    }
    if (p < end && *p != ',') {
        return false;
    }
    // The same bounds and the same one division as readPlainDecimal.
    constexpr int kMaxDigits = 19;
    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
    if (digits == 0 || digits > kMaxDigits || mantissa >= kExactLimit ||
        places >= static_cast<int>(kPowersOfTen.size())) {
        return false;
    }
    out = PlainDecimal{mantissa, places, negative};
    pos = static_cast<std::size_t>(p - line.data());
    return true;
}

double PSval(std::string_view s) {
    if (double plain = 0.0; readPlainDecimal(s, plain)) {
        return plain;
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        int base = 0;
        std::size_t dropped = 0;
        if (c == '&') {
            dropped = 1;
            base = 16;
            if (next == 'H' || next == 'h') {
                dropped = 2;
            } else if (next == 'O' || next == 'o') {
                dropped = 2;
                base = 8;
            } else if (next == 'X' || next == 'x') {
                dropped = 2;
                base = 2;
            }
        } else if (c == '0' && (next == 'x' || next == 'X')) {
            dropped = 2;
            base = 16;
        } else if (isDigit(static_cast<unsigned char>(c)) || c == '.') {
            return readDecimal(s); // base 10 keeps every byte
        } else {
            continue;
        }
        std::string kept(s.substr(0, i));
        kept.append(s.substr(i + dropped));
        return readInteger(kept, base);
    }
    return 0.0;
}

std::int64_t PSvalInt64(std::string_view s) {
    const double v = std::trunc(PSval(s));
    if (std::isnan(v)) {
        return 0;
    }
    if (v >= 9223372036854775807.0) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (v <= -9223372036854775808.0) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(v);
}

double RoundToScale(double x, int scale) {
    const double steps = nearestEven(static_cast<double>(scale) * x);
    // A number too large to count in steps is whole already: it stays as it
    // is instead of becoming infinite.
    if (std::isinf(steps) && std::isfinite(x)) {
        return x;
    }
    return steps / scale;
}

namespace {

// The decimal digits of v below 10^8, eight of them with leading zeros, as
// byte values 0 to 9, the first digit in the lowest byte: two halves of four
// digits, each split into pairs, each pair into digits, all lanes at once.
std::uint64_t eightDigits(std::uint32_t v) {
    std::uint64_t merged = v / 10000 | static_cast<std::uint64_t>(v % 10000) << 32;
    std::uint64_t tens = ((merged * 10486) >> 20) & 0x0000007F0000007FULL; // / 100
    merged = tens | (merged - tens * 100) << 16;
    tens = ((merged * 103) >> 10) & 0x000F000F000F000FULL; // / 10
    return tens | (merged - tens * 10) << 8;
}

// The text of f/S for f below S, with M = log10(S) decimals at most and
// trailing zeros dropped: "" for 0, else the point and its digits.
template <std::uint64_t S, int M> struct Decimals {
    std::array<std::array<char, 4>, S> text{};
    std::array<std::uint8_t, S> length{};
    constexpr Decimals() {
        for (std::uint64_t f = 1; f < S; ++f) {
            std::uint64_t kept = f;
            int places = M;
            while (kept % 10 == 0) {
                kept /= 10;
                --places;
            }
            text[f][0] = '.';
            for (int k = places; k >= 1; --k) {
                text[f][static_cast<std::size_t>(k)] = static_cast<char>('0' + kept % 10);
                kept /= 10;
            }
            length[f] = static_cast<std::uint8_t>(places + 1);
        }
    }
};
template <std::uint64_t S, int M> constexpr Decimals<S, M> kDecimals{};

// The texts of the whole numbers below 10^4, "0" to "9999", each left in the
// low bytes of four, with their lengths: most of a catalogue's numbers.
struct SmallWholes {
    std::array<std::uint32_t, 10000> text{};
    std::array<std::uint8_t, 10000> length{};
    constexpr SmallWholes() {
        for (std::uint32_t v = 0; v < 10000; ++v) {
            std::uint32_t digits = 0;
            std::uint8_t count = 0;
            std::uint32_t rest = v;
            do {
                digits = digits << 8 | ('0' + rest % 10);
                rest /= 10;
                ++count;
            } while (rest != 0);
            text[v] = digits;
            length[v] = count;
        }
    }
};
constexpr SmallWholes kSmallWholes{};

// The text of steps/S, with M = log10(S) decimals at most, trailing zeros
// dropped, written at p; at most 1 + 20 + 4 bytes are touched. Divisions by
// constants only; a whole part below 10^4 is looked up, a larger one made
// eight digits at once.
template <std::uint64_t S, int M> char* writeSteps(char* p, bool negative, std::uint64_t n) {
    *p++ = negative ? '-' : ' ';
    const std::uint64_t whole = n / S;
    if (whole < 10000) {
        std::memcpy(p, &kSmallWholes.text[whole], 4);
        p += kSmallWholes.length[whole];
    } else if (whole < 100'000'000) {
        const std::uint64_t digits = eightDigits(static_cast<std::uint32_t>(whole));
        // Leading zeros are skipped; this whole part has at least five digits.
        const int skipped = std::countr_zero(digits) / 8;
        const std::uint64_t text = (digits >> (8 * skipped)) + 0x3030303030303030ULL;
        std::memcpy(p, &text, 8);
        p += 8 - skipped;
    } else {
        p = std::to_chars(p, p + 20, whole).ptr;
    }
    const auto f = static_cast<std::size_t>(n % S);
    std::memcpy(p, kDecimals<S, M>.text[f].data(), 4);
    return p + kDecimals<S, M>.length[f];
}

// Counts of steps whose quotient steps/scale prints in the fixed style with
// at least as many decimals as the scale has: from kFewestSteps[m] (the
// quotient reaches 2^-7) to below kMostSteps[m] (the quotient stays below
// 2^32 for one decimal, 2^31 for two, 2^27 for three), m decimals. Counts
// are whole numbers, so no quotient can round across those powers of two.
constexpr std::array<double, 4> kFewestSteps = {0.0, 1.0, 1.0, 8.0};
constexpr std::array<double, 4> kMostSteps = {0.0, 4294967296.0 * 10, 2147483648.0 * 100,
                                              134217728.0 * 1000};

// RoundedPSstr for one of the scales with its own short way, the fixed
// style with M decimals, or nullptr when x needs the general way.
template <std::uint64_t S, int M> char* writeRoundedSteps(char* p, double x) {
    const double steps = nearestEven(static_cast<double>(S) * x);
    const double size = std::fabs(steps);
    if (!(size >= kFewestSteps[M] && size < kMostSteps[M])) {
        return nullptr;
    }
    return writeSteps<S, M>(p, steps < 0, static_cast<std::uint64_t>(size));
}

// The same for a decimal of at most M places: its count of steps is its
// digits times a power of ten, which is what rounding S times its value
// gives (the product is off by far less than half a step in this range).
template <std::uint64_t S, int M> char* writeDecimalSteps(char* p, const PlainDecimal& decimal) {
    constexpr std::array<std::uint64_t, 4> kShift = {1, 10, 100, 1000};
    const int places = std::max(decimal.places, 0);
    if (places > M || decimal.mantissa == 0) {
        return nullptr; // a zero keeps the sign it has in the general way
    }
    const std::uint64_t steps = decimal.mantissa * kShift[static_cast<std::size_t>(M - places)];
    const auto size = static_cast<double>(steps);
    if (!(size >= kFewestSteps[M] && size < kMostSteps[M])) {
        return nullptr;
    }
    return writeSteps<S, M>(p, decimal.negative, steps);
}

// What write.template operator()<S, M>() gives for the scales S with a short
// way of their own (M decimals), nullptr for any other.
template <typename Write> char* withShortWay(int scale, const Write& write) {
    switch (scale) {
    case 10:
        return write.template operator()<10, 1>();
    case 100:
        return write.template operator()<100, 2>();
    case 1000:
        return write.template operator()<1000, 3>();
    default:
        return nullptr;
    }
}

} // namespace

char* writeRoundedPSstr(char* p, const PlainDecimal& decimal, int scale) {
    char* const end = withShortWay(
        scale, [&]<std::uint64_t S, int M>() { return writeDecimalSteps<S, M>(p, decimal); });
    return end != nullptr ? end : writeRoundedPSstr(p, decimal.value(), scale);
}

char* writeRoundedPSstr(char* p, double x, int scale) {
    char* const end = withShortWay(
        scale, [&]<std::uint64_t S, int M>() { return writeRoundedSteps<S, M>(p, x); });
    if (end != nullptr) {
        return end;
    }
    const double rounded = RoundToScale(x, scale);
    if (rounded == 0.0) {
        *p++ = std::signbit(rounded) ? '-' : ' ';
        *p++ = '0';
        return p;
    }
    const std::string text = PSstr(rounded);
    const std::size_t length = std::min(text.size(), kMaxNumberText);
    std::memcpy(p, text.data(), length);
    return p + length;
}

void appendRoundedPSstr(std::string& out, double x, int scale) {
    std::array<char, kMaxNumberText> buf{};
    const char* end = writeRoundedPSstr(buf.data(), x, scale);
    out.append(buf.data(), static_cast<std::size_t>(end - buf.data()));
}

std::string RoundedPSstr(double x, int scale) {
    std::string out;
    appendRoundedPSstr(out, x, scale);
    return out;
}

namespace {

// Whether a decimal has a digit other than zero past places.
bool hasMorePlaces(PlainDecimal decimal, int places) {
    while (decimal.places > places && decimal.mantissa % 10 == 0) {
        decimal.mantissa /= 10;
        --decimal.places;
    }
    return decimal.places > places;
}

// A decimal's digits in fixed style, its trailing zeros dropped.
char* writeDigits(char* p, PlainDecimal decimal) {
    while (decimal.places > 0 && decimal.mantissa % 10 == 0) {
        decimal.mantissa /= 10;
        --decimal.places;
    }
    *p++ = decimal.negative ? '-' : ' ';
    std::array<char, 24> digits{};
    const auto count = static_cast<int>(
        std::to_chars(digits.data(), digits.data() + digits.size(), decimal.mantissa).ptr -
        digits.data());
    const int places = std::max(decimal.places, 0);
    const int whole = count - places;
    if (whole <= 0) {
        *p++ = '0';
    } else {
        p = std::copy_n(digits.data(), whole, p);
    }
    if (places > 0) {
        *p++ = '.';
        p = std::fill_n(p, std::max(-whole, 0), '0');
        p = std::copy_n(digits.data() + std::max(whole, 0), std::min(count, places), p);
    }
    return p;
}

int scaleOf(int places) {
    return kScaleOfPlaces[static_cast<std::size_t>(
        std::clamp(places, 0, static_cast<int>(kScaleOfPlaces.size()) - 1))];
}

} // namespace

char* writeKeptPSstr(char* p, const PlainDecimal& decimal, int places) {
    if (hasMorePlaces(decimal, places)) {
        return writeDigits(p, decimal);
    }
    return writeRoundedPSstr(p, decimal, scaleOf(places));
}

char* writeKeptPSstr(char* p, double x, int places) {
    char* const end = writeRoundedPSstr(p, x, scaleOf(places));
    if (!std::isfinite(x) || PSval(std::string_view(p, static_cast<std::size_t>(end - p))) == x) {
        return end;
    }
    if (!std::signbit(x)) {
        *p++ = ' ';
    }
    return writeShortest(p, x);
}

char* writeShortest(char* p, double x) {
    return std::to_chars(p, p + kMaxNumberText - 1, x).ptr;
}

} // namespace kestrune
