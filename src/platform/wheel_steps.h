#pragma once
// Turns wheel angles into whole sheet lines: a notch of 15 degrees (120
// eighths of a degree) scrolls three lines; finer wheels and touchpads add
// up until a line is reached.

#include <cstdint>

namespace kestrune {

class WheelSteps {
public:
    // Adds a vertical angle delta (eighths of a degree, positive away from
    // the user) and returns the lines it completes, positive upwards.
    std::int32_t add(int angleDelta);

private:
    static constexpr int kEighthsPerLine = 120 / 3;
    int pending_ = 0;
};

} // namespace kestrune
