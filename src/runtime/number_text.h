#pragma once
// The one conversion of numbers to text and back. Every number the program
// writes into a document, a CSV file, the clipboard or onto the screen is a
// PSstr text; every number it reads back goes through PSval.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrune {

// The powers of ten that are exact doubles.
inline constexpr std::array<double, 23> kPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A decimal as its text gives it: digits without the point, how many of
// them stand after it, and the sign.
struct PlainDecimal {
    std::uint64_t mantissa = 0; // below 2^53
    int places = 0;             // 0 to 22; -1 (no point) counts as 0
    bool negative = false;

    // mantissa / 10^places, signed: both are exact doubles, so the one
    // division rounds the quotient correctly, as reading the text would.
    double value() const {
        double v = static_cast<double>(mantissa);
        if (places > 0) {
            v /= kPowersOfTen[static_cast<std::size_t>(places)];
        }
        return negative ? -v : v;
    }
};

// Fixed style with a digit count that follows the binary exponent, trailing
// zeros dropped, a leading space for non-negative numbers; magnitudes below
// 2^-7 or from 2^32 on in scientific style with nine significant digits.
std::string PSstr(double x);

// Reads a number the forgiving way: decimal text with anything after it,
// "&H", "&O", "&X" and "0x" prefixes for other bases; no number gives 0.
double PSval(std::string_view s);

// The item at pos of a comma-separated line when it is a plain decimal (an
// optional sign, up to 19 digits with at most one point) that ends at a
// comma or at the end of line: its PSval, with pos moved to that comma or
// end. False, with nothing changed, for any other item.
bool readPlainDecimalField(std::string_view line, std::size_t& pos, double& out);
// The same, giving the decimal's digits, places and sign.
bool readPlainDecimalField(std::string_view line, std::size_t& pos, PlainDecimal& out);

// PSval truncated toward zero to a signed 64-bit integer (saturating; NaN gives 0).
std::int64_t PSvalInt64(std::string_view s);

// rint(scale * x) / scale in doubles, ties to even; a finite x so large
// that scale * x overflows is whole already and comes back unchanged.
double RoundToScale(double x, int scale);

// PSstr(RoundToScale(x, scale)) for scale 10, 100 or 1000, written straight
// from the integer count of steps where that gives the same bytes.
std::string RoundedPSstr(double x, int scale);

// Same as RoundedPSstr, appending to out (no allocation on the hot path).
void appendRoundedPSstr(std::string& out, double x, int scale);
// The longest text a number gets.
inline constexpr std::size_t kMaxNumberText = 40;
// Same as RoundedPSstr, written at p (room for kMaxNumberText bytes); returns its end.
char* writeRoundedPSstr(char* p, double x, int scale);
// The same for the decimal's value, written straight from its digits where
// it has no more places than the scale.
char* writeRoundedPSstr(char* p, const PlainDecimal& decimal, int scale);
void appendPSstr(std::string& out, double x);

// The shortest text that reads back as the very same x ("74.45", "1e-20",
// "-0", "nan"), without a leading space, written at p (room for
// kMaxNumberText bytes); returns its end.
char* writeShortest(char* p, double x);

// The scales that keep 0 to 3 decimal places.
inline constexpr std::array<int, 4> kScaleOfPlaces = {1, 10, 100, 1000};

// The text a document keeps of a number given as text, places being the
// decimals its column writes: a decimal with no more places (trailing zeros
// aside) is written as writeRoundedPSstr writes it, one with more with
// every digit it has (" 74.45" where one place is written), with its sign
// or a leading space, never in scientific style.
char* writeKeptPSstr(char* p, const PlainDecimal& decimal, int places);
// The same for a number given that is no short decimal: as writeRoundedPSstr
// writes it where that text reads back as x (or x is no finite number), else
// the shortest text that does.
char* writeKeptPSstr(char* p, double x, int places);

} // namespace kestrune
