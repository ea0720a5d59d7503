#include "platform/process_messages.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <unistd.h>

namespace kestrune {
namespace {

QString processName(quint32 pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(comm.readAll()).trimmed();
}

QStringList busNames(QDBusConnection& connection) {
    const QDBusReply<QStringList> names = connection.interface() != nullptr
                                              ? connection.interface()->registeredServiceNames()
                                              : QDBusReply<QStringList>();
    return names.isValid() ? names.value() : QStringList();
}

// The unique names (":1.42") of the connections whose process is called name.
QStringList connectionsOf(QDBusConnection& connection, const QString& name) {
    QStringList found;
    for (const QString& bus : busNames(connection)) {
        if (!bus.startsWith(QLatin1Char(':')) || bus == connection.baseService()) {
            continue;
        }
        const QDBusReply<uint> pid = connection.interface()->servicePid(bus);
        if (pid.isValid() && pid.value() != static_cast<uint>(::getpid()) &&
            processName(pid.value()) == name) {
            found << bus;
        }
    }
    return found;
}

bool processRuns(const QString& name) {
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const quint32 pid = entry.toUInt(&number);
        // Only this user's programs count: another user's Tarnwell is not ours to raise.
        if (number && pid != static_cast<quint32>(::getpid()) &&
            QFileInfo(proc.filePath(entry)).ownerId() == ::getuid() && processName(pid) == name) {
            return true;
        }
    }
    return false;
}

// Asks each well-known name of the program's connections to come forward.
void activate(QDBusConnection& connection, const QString& name) {
    const QStringList owners = connectionsOf(connection, name);
    for (const QString& bus : busNames(connection)) {
        if (bus.startsWith(QLatin1Char(':'))) {
            continue;
        }
        const QDBusReply<QString> owner = connection.interface()->serviceOwner(bus);
        if (!owner.isValid() || !owners.contains(owner.value())) {
            continue;
        }
        QString path = QLatin1Char('/') + bus;
        path.replace(QLatin1Char('.'), QLatin1Char('/'))
            .replace(QLatin1Char('-'), QLatin1Char('_'));
        QDBusMessage call = QDBusMessage::createMethodCall(
            bus, path, QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"));
        call << QVariantMap();
        call.setAutoStartService(false);
        connection.send(call);
    }
}

// The command of the desktop entry whose Name is name, without its field codes.
QStringList desktopEntryCommand(const QString& name) {
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator entries(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            QSettings entry(entries.next(), QSettings::IniFormat);
            entry.beginGroup(QStringLiteral("Desktop Entry"));
            if (entry.value(QStringLiteral("Name")).toString() != name) {
                continue;
            }
            QStringList command;
            for (const QString& word :
                 QProcess::splitCommand(entry.value(QStringLiteral("Exec")).toString())) {
                if (!(word.size() == 2 && word.front() == QLatin1Char('%'))) {
                    command << word;
                }
            }
            if (!command.isEmpty()) {
                return command;
            }
        }
    }
    return {};
}

} // namespace

void EventReceiver::Event(const QString& eventClass, const QString& eventId,
                          const QByteArray& text) {
    // A class or an ID is four characters: anything longer is no event of ours.
    if (handler_ && eventClass.size() <= kEventCodeLength && eventId.size() <= kEventCodeLength) {
        // Only the first 255 bytes of the text count.
        handler_(eventClass.toStdString(), eventId.toStdString(),
                 text.left(kEventTextBytes).toStdString());
    }
}

int sendEventToProcesses(QDBusConnection connection, const std::string& processName,
                         const std::string& eventClass, const std::string& eventId,
                         const std::string& text) {
    if (!connection.isConnected()) {
        return 0;
    }
    const QStringList targets = connectionsOf(connection, QString::fromStdString(processName));
    for (const QString& target : targets) {
        QDBusMessage call = QDBusMessage::createMethodCall(target, QString::fromLatin1(kEventsPath),
                                                           QString::fromLatin1(kEventsInterface),
                                                           QStringLiteral("Event"));
        call << QString::fromStdString(eventClass) << QString::fromStdString(eventId)
             << QByteArray::fromStdString(text);
        call.setAutoStartService(false);
        connection.send(call); // no waiting for the answer
    }
    return static_cast<int>(targets.size());
}

int launchApplication(QDBusConnection connection, const std::string& name) {
    const QString program = QString::fromStdString(name);
    if (processRuns(program)) {
        if (connection.isConnected()) {
            activate(connection, program);
        }
        return 0;
    }
    QStringList command = desktopEntryCommand(program);
    if (command.isEmpty()) {
        for (const QString& candidate : {program, program.toLower()}) {
            const QString found = QStandardPaths::findExecutable(candidate);
            if (!found.isEmpty()) {
                command = QStringList{found};
                break;
            }
        }
    }
    if (command.isEmpty()) {
        return -1;
    }
    const QString executable = command.takeFirst();
    return QProcess::startDetached(executable, command) ? 0 : -1;
}

} // namespace kestrune
