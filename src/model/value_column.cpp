#include "model/value_column.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

namespace kestrune {
namespace {

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

} // namespace

ValueColumn::ValueColumn(int arrayNumber, const FatalErrorHandler* onFatal)
    : codes_(arrayNumber, onFatal) {}

ValueColumn::Code ValueColumn::packValue(double value) noexcept {
    const double size = std::fabs(value);
    if (!(size < static_cast<double>(kDigitsLimit))) {
        return kNoCode; // NaN too
    }
    const bool negative = std::signbit(value);
    // The fewest places whose digits give the number back exactly.
    for (int places = 0; places <= static_cast<int>(kMostPlaces); ++places) {
        const double scaled = size * kPowersOfTen[static_cast<std::size_t>(places)];
        if (scaled >= static_cast<double>(kDigitsLimit)) {
            return kNoCode;
        }
        const double digits = std::nearbyint(scaled);
        // Only a product close to whole digits can be the number's.
        if (std::fabs(scaled - digits) > 1e-6 * (1.0 + scaled)) {
            continue;
        }
        const PlainDecimal decimal{static_cast<std::uint64_t>(digits), places, negative};
        if (sameBits(decimal.value(), value)) {
            return packDecimal(decimal);
        }
    }
    return kNoCode;
}

void ValueColumn::makeWholeRoom() {
    whole_.growTo(codes_.storageSize());
}

void ValueColumn::ensure(std::int32_t last) {
    codes_.ensure(last);
    if (holdsWhole_ || writing_) {
        makeWholeRoom();
    }
}

void ValueColumn::store(std::int32_t row, Code code, double value, Code whole) {
    codes_.ensure(row); // a bad row is reported here, before anything changes
    if (code == kNoCode || holdsWhole_) {
        makeWholeRoom(); // rows it holds whole numbers for grow with the codes
    }
    if (code == kNoCode) {
        holdsWhole_ = true;
        whole_[static_cast<std::size_t>(row)] = value;
        code = whole;
    }
    codes_[row] = code;
}

void ValueColumn::set(std::int32_t row, double value) {
    store(row, packValue(value), value, kWhole | kGiven);
}

void ValueColumn::setWorkedOut(std::int32_t row, double value, int places) {
    Code code = packValue(value);
    if (code != kNoCode && static_cast<int>(code & kPlacesMask) > places) {
        code = kNoCode;
    }
    store(row, code, value, kWhole);
}

void ValueColumn::swap(std::int32_t a, std::int32_t b) {
    codes_.ensure(std::max(a, b));
    if (holdsWhole_) {
        makeWholeRoom();
        std::swap(whole_[static_cast<std::size_t>(a)], whole_[static_cast<std::size_t>(b)]);
    }
    std::swap(codes_[a], codes_[b]);
}

void ValueColumn::copy(std::int32_t from, std::int32_t to) {
    codes_.ensure(std::max(from, to));
    const Code code = codes_[from];
    if (isWhole(code)) {
        makeWholeRoom();
        whole_[static_cast<std::size_t>(to)] = whole_[static_cast<std::size_t>(from)];
    }
    codes_[to] = code;
}

void ValueColumn::beginWriters() {
    writing_ = true;
    makeWholeRoom();
}

void ValueColumn::endWriters(bool keptWhole) {
    writing_ = false;
    holdsWhole_ = holdsWhole_ || keptWhole;
    if (!holdsWhole_) {
        ZeroedColumn<double>().swap(whole_);
    }
}

} // namespace kestrune
