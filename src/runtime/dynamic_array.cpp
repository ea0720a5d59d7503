#include "runtime/dynamic_array.h"

namespace kestrune {

std::string badIndexMessage(std::int64_t index, int arrayNumber) {
    return "Bad index " + std::to_string(index) + " for dynamic array (ref " +
           std::to_string(arrayNumber) + ")";
}

} // namespace kestrune
