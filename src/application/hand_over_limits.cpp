#include "application/hand_over_limits.h"

namespace kestrune {

void CutOverlongPath(std::string& path, std::size_t limit) {
    if (path.size() <= limit) {
        return;
    }
    const std::size_t head = limit / 2;
    const std::size_t tail = limit + 1 - head;
    path.erase(head, path.size() - head - tail);
}

} // namespace kestrune
