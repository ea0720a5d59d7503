#pragma once
// While long work runs, nothing reaches the core from the window's thread:
// timers, answers, messages from other programs and the window's own moves
// wait at this gate and pass, in the order they came, once the work is over.

#include <QObject>
#include <deque>
#include <functional>

namespace kestrune {

class CoreGate {
public:
    bool held() const { return held_; }
    void hold() { held_ = true; }
    // Lets the waiting actions through from the event loop, in order.
    void release(QObject* context);
    // Runs action now, or once the gate is released.
    void pass(std::function<void()> action);

private:
    bool held_ = false;
    std::deque<std::function<void()>> waiting_;
};

} // namespace kestrune
