#include "platform/wheel_steps.h"

namespace kestrune {

std::int32_t WheelSteps::add(int angleDelta) {
    // A change of direction drops what was left over the other way.
    if ((pending_ > 0 && angleDelta < 0) || (pending_ < 0 && angleDelta > 0)) {
        pending_ = 0;
    }
    pending_ += angleDelta;
    const int lines = pending_ / kEighthsPerLine;
    pending_ -= lines * kEighthsPerLine;
    return lines;
}

} // namespace kestrune
