#include "stand_in.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <array>
#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <utility>

namespace tarnwell {
namespace {

const QString kKestrune = QStringLiteral("org.kestrune.Kestrune");
const QString kEventsPath = QStringLiteral("/org/kestrune/Events");
const QString kEventsInterface = QStringLiteral("org.kestrune.Events");

constexpr char kQuery[] = "Are you Launched Tarnwell";
constexpr char kOpened[] = "Now I Opend";
constexpr char kClosed[] = "Now I Closed";

// How long to wait for Kestrune to answer the call that follows a status.
constexpr int kAnswerTimeoutMs = 2000;

struct Command {
    const char* word;
    const char* status;
    bool quits;
};

constexpr std::array<Command, 5> kCommands = {{
    {"busy", "Now I am busy", false},
    {"free", "Now I am free", false},
    {"opened", kOpened, false},
    {"closed", kClosed, false},
    {"quit", kClosed, true},
}};

void say(const char* line) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

StandIn::StandIn(QDBusConnection bus, QFile& record)
    : bus_(std::move(bus)), record_(record), input_(STDIN_FILENO, QSocketNotifier::Read) {
    connect(&input_, &QSocketNotifier::activated, this, &StandIn::readCommands);
}

bool StandIn::start() {
    if (!bus_.isConnected()) {
        std::fprintf(stderr, "Tarnwell: no session bus: %s\n",
                     qPrintable(bus_.lastError().message()));
        return false;
    }
    if (!bus_.registerObject(kEventsPath, this, QDBusConnection::ExportAllSlots)) {
        std::fprintf(stderr, "Tarnwell: cannot offer %s: %s\n", qPrintable(kEventsPath),
                     qPrintable(bus_.lastError().message()));
        return false;
    }
    tellKestrune(kOpened);
    return true;
}

void StandIn::Event(const QString& eventClass, const QString& eventId, const QByteArray& text) {
    const QByteArray line =
        eventClass.toUtf8() + '\t' + eventId.toUtf8() + '\t' + text.toHex() + '\n';
    if (record_.write(line) != line.size() || !record_.flush()) {
        std::fprintf(stderr, "Tarnwell: cannot write to %s\n", qPrintable(record_.fileName()));
    }
    // Kestrune's start-up query is answered as the command "opened" does.
    if (eventClass == QLatin1String("TwKS") && eventId == QLatin1String("TEXT") && text == kQuery) {
        runCommand("opened");
    }
}

void StandIn::readCommands() {
    std::array<char, 256> buffer{};
    const ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    if (count < 0) {
        if (errno != EINTR && errno != EAGAIN) {
            std::perror("Tarnwell: standard input");
            input_.setEnabled(false);
        }
        return;
    }
    if (count == 0) {
        // Whoever gave the commands is gone: Tarnwell quits as well.
        input_.setEnabled(false);
        runCommand("quit");
        return;
    }
    pending_.append(buffer.data(), count);
    qsizetype end = 0;
    while (input_.isEnabled() && (end = pending_.indexOf('\n')) >= 0) {
        const QByteArray line = pending_.left(end).trimmed();
        pending_.remove(0, end + 1);
        if (!line.isEmpty()) {
            runCommand(line);
        }
    }
}

void StandIn::runCommand(const QByteArray& line) {
    for (const Command& command : kCommands) {
        if (line != command.word) {
            continue;
        }
        tellKestrune(command.status);
        say(line.constData());
        if (command.quits) {
            input_.setEnabled(false);
            QCoreApplication::exit(0);
        }
        return;
    }
    std::fprintf(stderr, "Tarnwell: unknown command '%s'\n", line.constData());
}

// Sends the status when Kestrune runs, then waits until Kestrune has taken
// it: an introspection of the same object, sent after it on the same
// connection, is answered only after it.
void StandIn::tellKestrune(const QByteArray& status) {
    if (!bus_.interface()->isServiceRegistered(kKestrune).value()) {
        return;
    }
    QDBusMessage event =
        QDBusMessage::createMethodCall(kKestrune, kEventsPath, kEventsInterface, "Event");
    event << QStringLiteral("kqKS") << QStringLiteral("TEXT") << status;
    bus_.send(event);
    const QDBusMessage probe = QDBusMessage::createMethodCall(
        kKestrune, kEventsPath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
        QStringLiteral("Introspect"));
    bus_.call(probe, QDBus::Block, kAnswerTimeoutMs);
}

} // namespace tarnwell
