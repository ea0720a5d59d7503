#include "model/value_column.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <new>

namespace kestrune {
namespace {

constexpr std::size_t kIndexLimit = std::size_t{1} << 28;
// Below this many numbers kept whole, unused ones are not worth a rewrite.
constexpr std::size_t kCompactFloor = std::size_t{1} << 16;

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

void ValueColumn::set(std::int32_t row, double value) {
    Code& code = codes_[row];
    release(code);
    if (const Code packed = packValue(value); packed != kNoCode) {
        code = packed;
        return;
    }
    code = 0; // keepWhole may throw or move the rows
    const Code whole = keepWhole(value);
    codes_[row] = whole;
}

void ValueColumn::swap(std::int32_t a, std::int32_t b) {
    codes_.ensure(std::max(a, b));
    std::swap(codes_[a], codes_[b]);
}

void ValueColumn::copy(std::int32_t from, std::int32_t to) {
    codes_.ensure(std::max(from, to));
    release(codes_[to]);
    // Both rows refer to the same number kept whole until one changes.
    codes_[to] = codes_[from];
}

void ValueColumn::release(Code code) {
    if ((code & kPlacesMask) == kWhole) {
        ++unused_;
    }
}

ValueColumn::Code ValueColumn::keepWhole(double value) {
    compactIfWasteful();
    if (whole_.size() == kIndexLimit) {
        throw std::bad_alloc(); // more such numbers than a column can refer to
    }
    whole_.push_back(value);
    return (static_cast<Code>(whole_.size() - 1) << kIndexShift) | kWhole;
}

void ValueColumn::compactIfWasteful() {
    const bool full = whole_.size() == kIndexLimit && unused_ > 0;
    if (!full && (unused_ < kCompactFloor || unused_ < whole_.size() / 2)) {
        return;
    }
    std::vector<double> live;
    live.reserve(whole_.size() - std::min(unused_, whole_.size()));
    Code* codes = codes_.data();
    for (std::size_t r = 0; r < codes_.storageSize(); ++r) {
        Code& code = codes[r];
        if ((code & kPlacesMask) == kWhole) {
            live.push_back(whole_[code >> kIndexShift]);
            code = (static_cast<Code>(live.size() - 1) << kIndexShift) | kWhole;
        }
    }
    whole_.swap(live);
    unused_ = 0;
}

void ValueColumn::take(Writer& writer) {
    for (const auto& [row, value] : writer.whole_) {
        set(static_cast<std::int32_t>(row), value);
    }
    writer.whole_.clear();
}

void ValueColumn::Writer::dropRows(std::size_t first, std::size_t last) {
    std::erase_if(whole_,
                  [&](const auto& kept) { return kept.first >= first && kept.first <= last; });
}

void ValueColumn::Writer::moveRows(std::size_t from, std::ptrdiff_t shift) {
    for (auto& kept : whole_) {
        if (kept.first >= from) {
            kept.first = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(kept.first) + shift);
        }
    }
}

void ValueColumn::Writer::adopt(Writer& other) {
    whole_.insert(whole_.end(), other.whole_.begin(), other.whole_.end());
    other.whole_.clear();
}

} // namespace kestrune
