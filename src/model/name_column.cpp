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

void NameColumn::ensure(std::int32_t last) {
    if (last >= 0 && static_cast<std::size_t>(last) >= names_.size()) {
        names_.resize(static_cast<std::size_t>(last) + 1);
    }
}

} // namespace kestrune
