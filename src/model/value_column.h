#pragma once
// A column of one parameter's numbers. Nearly every number in a catalogue is
// a short decimal ("12.5", "0.018", "2250"): such a number is kept as four
// bytes, its digits and the places after its point, and read back by the
// one division that reading its text does, so it is the very same double.
// Any other number (more digits, a NaN, a value too large) is kept whole
// beside the column and its row holds where. A row costs four bytes instead
// of eight, and moving rows (a sort) moves those four bytes only.

#include "runtime/dynamic_array.h"
#include "runtime/number_text.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace kestrune {

class ValueColumn {
public:
    // Places after the point in bits 0-3 (0 to 14; 15 marks a number kept
    // whole), the sign in bit 4, the digits in bits 5-31. A number kept
    // whole has its index beside the column in bits 4-31. Zero is 0.0.
    using Code = std::uint32_t;

    ValueColumn(int arrayNumber, const FatalErrorHandler* onFatal);

    // What the packing of a number that needs more than its row gives.
    static constexpr Code kNoCode = ~Code{0};
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

    double get(std::int32_t row) const { return decode(codes_.get(row)); }
    // The row's number as the decimal it was packed from; false when it is
    // kept whole.
    bool decimalAt(std::int32_t row, PlainDecimal& out) const {
        const Code code = codes_.get(row);
        if ((code & kPlacesMask) == kWhole) {
            return false;
        }
        out = unpack(code);
        return true;
    }
    // Stores value in row, which becomes addressable (a negative row is a
    // fatal error, as for any column).
    void set(std::int32_t row, double value);
    void swap(std::int32_t a, std::int32_t b);
    // Row to takes the number of row from.
    void copy(std::int32_t from, std::int32_t to);

    void setFatalHandler(const FatalErrorHandler* onFatal) { codes_.setFatalHandler(onFatal); }
    void ensure(std::int32_t last) { codes_.ensure(last); }
    std::int64_t capacity() const { return codes_.capacity(); }
    // The rows' codes, for moving rows around wholesale: a code that refers
    // to a number kept whole refers to it from any row.
    DynamicArray<Code>& codes() { return codes_; }
    const DynamicArray<Code>& codes() const { return codes_; }

    // Stores numbers into rows that are addressable already, from a thread
    // of its own: codes go straight into the column, numbers kept whole
    // wait in the writer until the column takes them (take()).
    class Writer {
    public:
        explicit Writer(ValueColumn& column) : column_(&column) {}
        void put(std::size_t row, double value) {
            Code* codes = column_->codes_.data();
            if (const Code code = packValue(value); code != kNoCode) {
                codes[row] = code;
            } else {
                codes[row] = 0;
                whole_.emplace_back(row, value);
            }
        }
        void put(std::size_t row, const PlainDecimal& decimal) {
            Code* codes = column_->codes_.data();
            if (const Code code = packDecimal(decimal); code != kNoCode) {
                codes[row] = code;
            } else {
                codes[row] = 0;
                whole_.emplace_back(row, decimal.value());
            }
        }
        // Numbers it keeps for rows first .. last are dropped, and the
        // others of rows from first on move by shift rows.
        void dropRows(std::size_t first, std::size_t last);
        void moveRows(std::size_t from, std::ptrdiff_t shift);
        // Takes what other keeps (its rows were moved already).
        void adopt(Writer& other);

    private:
        friend class ValueColumn;
        ValueColumn* column_;
        std::vector<std::pair<std::size_t, double>> whole_;
    };
    // Stores the numbers the writer kept: may throw std::bad_alloc.
    void take(Writer& writer);

private:
    static constexpr Code kPlacesMask = 15;
    static constexpr Code kWhole = 15;
    static constexpr Code kNegative = 16;
    static constexpr int kDigitsShift = 5;
    static constexpr std::uint64_t kDigitsLimit = std::uint64_t{1} << (32 - kDigitsShift);
    static constexpr Code kMostPlaces = 14;
    static constexpr int kIndexShift = 4;

    static PlainDecimal unpack(Code code) {
        return {code >> kDigitsShift, static_cast<int>(code & kPlacesMask),
                (code & kNegative) != 0};
    }
    double decode(Code code) const {
        if ((code & kPlacesMask) == kWhole) {
            return whole_[code >> kIndexShift];
        }
        return unpack(code).value();
    }
    // Gives the number kept whole in a code that is being replaced back.
    void release(Code code);
    // The code of value kept whole; the row it goes to must not refer to one.
    Code keepWhole(double value);
    // Rewrites the numbers kept whole once most of them are no longer used
    // (or when no more fit and some are unused).
    void compactIfWasteful();

    DynamicArray<Code> codes_;
    std::vector<double> whole_;
    std::size_t unused_ = 0;
};

} // namespace kestrune
