#pragma once
// A stand-in for Tarnwell, the program Kestrune sends models to. Kestrune
// knows a Tarnwell by its process name alone and talks to it through the
// interface org.kestrune.Events at /org/kestrune/Events, in both
// directions: Event(s eventClass, s eventId, ay text), no answer.
//
// The stand-in writes every event it receives to its record file, one line
// each: the class, a tab, the id, a tab and the text's bytes in hex. It
// answers Kestrune's start-up query with "Now I Opend" and sends the
// statuses the commands on its standard input ask for.

#include <QByteArray>
#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

namespace tarnwell {

class StandIn final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrune.Events")

public:
    StandIn(QDBusConnection bus, QFile& record);

    // Offers the interface on the bus and tells a running Kestrune that
    // Tarnwell is open; false, with a message on standard error, when the
    // interface cannot be offered.
    bool start();

public slots:
    Q_NOREPLY void Event(const QString& eventClass, const QString& eventId, const QByteArray& text);

private:
    void readCommands();
    void runCommand(const QByteArray& line);
    void tellKestrune(const QByteArray& status);

    QDBusConnection bus_;
    QFile& record_;
    QSocketNotifier input_;
    QByteArray pending_; // read from standard input, not yet a whole line
};

} // namespace tarnwell
