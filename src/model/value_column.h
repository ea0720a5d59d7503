#pragma once
// A column of one parameter's numbers. Nearly every number in a catalogue is
// a short decimal ("12.5", "0.018", "2250"): such a number is kept as four
// bytes, its digits and the places after its point, and read back by the
// one division that reading its text does, so it is the very same double.
// Any other number (more digits, a NaN, a value too large) is kept whole in
// a second column beside the first, made only once such a number comes. A
// row costs four bytes where its numbers are short decimals, and moving
// rows (a sort) moves those four bytes only.
//
// A number is either given (typed, pasted, imported or read as text), and
// a document keeps every digit of it, or worked out (a calculator's result),
// and a document keeps it to its column's places. A worked-out number with
// more places than that is always kept whole, so that a short decimal with
// more places is always one given; the four bytes of a number kept whole
// tell which it is.

#include "runtime/dynamic_array.h"
#include "runtime/number_text.h"
#include "runtime/zeroed_column.h"

#include <cstdint>

namespace kestrune {

class ValueColumn {
public:
    // Places after the point in bits 0-3 (0 to 14; 15 marks a number kept
    // whole), the sign in bit 4, the digits in bits 5-31. Zero is 0.0. A
    // number kept whole has bit 5 set when it was given.
    using Code = std::uint32_t;
    // What the packing of a number that needs more than four bytes gives.
    static constexpr Code kNoCode = ~Code{0};

    ValueColumn(int arrayNumber, const FatalErrorHandler* onFatal);

    // The code of the decimal, or kNoCode.
    static Code packDecimal(const PlainDecimal& decimal) noexcept {
        const auto places = static_cast<Code>(decimal.places < 0 ? 0 : decimal.places);
        if (decimal.mantissa >= kDigitsLimit || places > kMostPlaces) {
            return kNoCode;
        }
        return static_cast<Code>(decimal.mantissa << kDigitsShift) |
               (decimal.negative ? kNegative : 0) | places;
    }
    // The code of a number that is a short decimal exactly, or kNoCode.
    static Code packValue(double value) noexcept;

    double get(std::int32_t row) const {
        const Code code = codes_.get(row);
        return isWhole(code) ? whole_[static_cast<std::size_t>(row)] : unpack(code).value();
    }
    // The row's number as the decimal it was packed from; false when it is
    // kept whole.
    bool decimalAt(std::int32_t row, PlainDecimal& out) const {
        const Code code = codes_.get(row);
        if (isWhole(code)) {
            return false;
        }
        out = unpack(code);
        return true;
    }
    // Whether the row's number was worked out and is kept whole: a document
    // keeps it to its column's places.
    bool workedOutAt(std::int32_t row) const { return codes_.get(row) == kWhole; }
    // Stores a number given in row, which becomes addressable (a negative row
    // is a fatal error, as for any column).
    void set(std::int32_t row, double value);
    // Stores a number worked out, which a document keeps to places decimals.
    void setWorkedOut(std::int32_t row, double value, int places);
    void swap(std::int32_t a, std::int32_t b);
    // Row to takes the number of row from.
    void copy(std::int32_t from, std::int32_t to);

    void setFatalHandler(const FatalErrorHandler* onFatal) { codes_.setFatalHandler(onFatal); }
    // Rows 0 to last become addressable.
    void ensure(std::int32_t last);
    std::int64_t capacity() const { return codes_.capacity(); }
    // The rows' codes and the numbers kept whole, by row, for moving rows
    // around wholesale; the second is empty while the column holds no
    // number kept whole, and as long as the first once it holds one.
    DynamicArray<Code>& codes() { return codes_; }
    const DynamicArray<Code>& codes() const { return codes_; }
    ZeroedColumn<double>& whole() { return whole_; }
    const ZeroedColumn<double>& whole() const { return whole_; }
    bool holdsWhole() const { return holdsWhole_; }

    // Stores numbers given into rows that are addressable already, from a
    // thread of its own, between beginWriters() and endWriters() of its
    // column.
    class Writer {
    public:
        explicit Writer(ValueColumn& column) : column_(&column) {}
        void put(std::size_t row, double value) { store(row, packValue(value), value); }
        void put(std::size_t row, const PlainDecimal& decimal) {
            const Code code = packDecimal(decimal);
            store(row, code, code == kNoCode ? decimal.value() : 0.0);
        }
        // Whether it stored a number kept whole.
        bool keptWhole() const { return keptWhole_; }
        // Takes on what other stored.
        void adopt(const Writer& other) { keptWhole_ = keptWhole_ || other.keptWhole_; }

    private:
        friend class ValueColumn;
        void store(std::size_t row, Code code, double value) {
            if (code == kNoCode) {
                column_->whole_[row] = value;
                code = kWhole | kGiven;
                keptWhole_ = true;
            }
            column_->codes_.data()[row] = code;
        }
        ValueColumn* column_;
        bool keptWhole_ = false;
    };
    // Makes room for a number kept whole in every row, now and as the
    // column grows (memory never written costs nothing).
    void beginWriters();
    // Ends what the writers did; keptWhole tells whether one of them kept a
    // number whole, and the room goes again unless one did.
    void endWriters(bool keptWhole);

private:
    static constexpr Code kPlacesMask = 15;
    static constexpr Code kWhole = 15;
    static constexpr Code kNegative = 16;
    static constexpr Code kGiven = 32;
    static constexpr int kDigitsShift = 5;
    static constexpr std::uint64_t kDigitsLimit = std::uint64_t{1} << (32 - kDigitsShift);
    static constexpr Code kMostPlaces = 14;

    static bool isWhole(Code code) { return (code & kPlacesMask) == kWhole; }
    static PlainDecimal unpack(Code code) {
        return {code >> kDigitsShift, static_cast<int>(code & kPlacesMask),
                (code & kNegative) != 0};
    }
    // Numbers kept whole can be stored in every row that is addressable.
    void makeWholeRoom();
    // Stores code in row, or value kept whole with the code whole when code
    // is kNoCode.
    void store(std::int32_t row, Code code, double value, Code whole);

    DynamicArray<Code> codes_;
    ZeroedColumn<double> whole_;
    bool holdsWhole_ = false;
    bool writing_ = false;
};

} // namespace kestrune
