#include "model/kept_number.h"

#include <array>

namespace kestrune {

std::string KeptNumberText(const ModelTable& table, Param p, std::int32_t row) {
    std::array<char, kMaxNumberText> text{};
    const char* end = WriteKeptNumber(text.data(), table, p, row);
    return {text.data(), static_cast<std::size_t>(end - text.data())};
}

} // namespace kestrune
