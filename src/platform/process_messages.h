#pragma once
// Messages between programs on the session bus, and starting programs.
// Every program that takes part offers, at object path /org/kestrune/Events,
// the interface org.kestrune.Events with the method
//   Event(s eventClass, s eventId, ay text)
// Kestrune offers it under its name org.kestrune.Kestrune and calls it on
// every connection whose process bears a given name (/proc/PID/comm).

#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <string>

namespace kestrune {

inline constexpr const char* kEventsPath = "/org/kestrune/Events";
inline constexpr const char* kEventsInterface = "org.kestrune.Events";
// An event's class and ID have four characters; of its text 255 bytes count.
inline constexpr int kEventCodeLength = 4;
inline constexpr int kEventTextBytes = 255;

// The object that receives events; they go to the handler, and the call is
// answered, at once.
class EventReceiver final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrune.Events")
public:
    using Handler = std::function<void(const std::string& eventClass, const std::string& eventId,
                                       const std::string& text)>;
    explicit EventReceiver(QObject* parent = nullptr) : QObject(parent) {}
    void setHandler(Handler handler) { handler_ = std::move(handler); }

public Q_SLOTS:
    Q_SCRIPTABLE void Event(const QString& eventClass, const QString& eventId,
                            const QByteArray& text);

private:
    Handler handler_;
};

// Calls Event on every connection of the bus (but this one) whose process is
// named processName, without waiting for replies. Returns how many.
int sendEventToProcesses(QDBusConnection connection, const std::string& processName,
                         const std::string& eventClass, const std::string& eventId,
                         const std::string& text);

// Starts the desktop application called name (a desktop entry of that Name,
// or an executable name or its lower-case form on PATH) when no process of
// that name runs; brings a running one to the front where it offers
// org.freedesktop.Application. 0 when done, -1 when it cannot be found.
int launchApplication(QDBusConnection connection, const std::string& name);

} // namespace kestrune
