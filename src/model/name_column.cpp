#include "model/name_column.h"

#include <utility>

namespace kestrune {

void NameColumn::set(std::int32_t row, std::string_view name) {
    ensure(row);
    names_[static_cast<std::size_t>(row)].assign(name.substr(0, Str255::kMaxLength));
}

void NameColumn::swap(std::int32_t a, std::int32_t b) {
    ensure(std::max(a, b));
    names_[static_cast<std::size_t>(a)].swap(names_[static_cast<std::size_t>(b)]);
}

void NameColumn::move(std::int32_t from, std::int32_t to) {
    ensure(std::max(from, to));
    names_[static_cast<std::size_t>(to)] = names_[static_cast<std::size_t>(from)];
}

void NameColumn::permute(const std::vector<std::int32_t>& order) {
    const auto idx = [](std::int32_t v) { return static_cast<std::size_t>(v); };
    ensure(static_cast<std::int32_t>(order.size()));
    std::vector<std::string> moved;
    moved.reserve(names_.size());
    moved.push_back(std::move(names_[0]));
    // The reads are random once the names outgrow the cache; fetching a few
    // ahead keeps several of them under way at once.
    constexpr std::size_t kAhead = 8;
    for (std::size_t k = 0; k < order.size(); ++k) {
#if defined(__GNUC__)
        if (k + kAhead < order.size()) {
            __builtin_prefetch(&names_[idx(order[k + kAhead])]);
        }
#endif
        moved.push_back(std::move(names_[idx(order[k])]));
    }
    for (std::size_t r = order.size() + 1; r < names_.size(); ++r) {
        moved.push_back(std::move(names_[r]));
    }
    names_.swap(moved);
}

void NameColumn::ensure(std::int32_t last) {
    if (last >= 0 && static_cast<std::size_t>(last) >= names_.size()) {
        names_.resize(static_cast<std::size_t>(last) + 1);
    }
}

} // namespace kestrune
