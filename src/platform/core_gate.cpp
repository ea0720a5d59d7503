#include "platform/core_gate.h"

#include <utility>

namespace kestrune {

void CoreGate::release(QObject* context) {
    held_ = false;
    while (!waiting_.empty()) {
        QMetaObject::invokeMethod(context, std::move(waiting_.front()), Qt::QueuedConnection);
        waiting_.pop_front();
    }
}

void CoreGate::pass(std::function<void()> action) {
    if (held_) {
        waiting_.push_back(std::move(action));
    } else {
        action();
    }
}

} // namespace kestrune
