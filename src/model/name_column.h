#pragma once
// A column of names (Manufacturer or Model Name): at most 255 bytes of Mac OS
// Roman text per row, stored at the length of each name rather than in fixed
// 256-byte slots. Rows never written read as the empty string.

#include "runtime/str255.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

class NameColumn {
public:
    std::string_view get(std::int32_t row) const {
        return row >= 0 && static_cast<std::size_t>(row) < names_.size()
                   ? std::string_view(names_[static_cast<std::size_t>(row)])
                   : std::string_view();
    }
    Str255 str(std::int32_t row) const { return Str255(get(row)); }
    // Stores the name, cut at 255 bytes.
    void set(std::int32_t row, std::string_view name);
    void swap(std::int32_t a, std::int32_t b);
    void move(std::int32_t from, std::int32_t to);
    // Row k + 1 takes the name row order[k] held, for a permutation order of
    // the rows 1 to order.size(); no name is copied.
    void permute(const std::vector<std::int32_t>& order);
    // Rows 0 to last become addressable.
    void ensure(std::int32_t last);
    std::size_t rows() const { return names_.size(); }

private:
    std::vector<std::string> names_;
};

} // namespace kestrune
