#pragma once
// One Kestrune per session. The first instance owns a name on the D-Bus
// session bus and receives the documents that later launches hand over;
// without a session bus every launch runs on its own.
//
// The interface, at object path /org/kestrune/Kestrune of the name
// org.kestrune.Kestrune, is org.kestrune.Kestrune:
//   OpenDocumentFiles(aay paths) -> b   absolute paths, as the bytes the file system holds
//   OpenDocuments(as uris) -> b         file:// URIs or absolute paths in UTF-8
// Both only queue the documents and answer at once: true when taken, false
// when this instance is ending (the caller then tries again). Of a call only
// the last paths are kept, and a path too long to open is cut (see
// application/hand_over_limits.h). The same
// object offers org.freedesktop.Application (Activate, Open, ActivateAction).

#include "platform/process_messages.h"

#include <QByteArray>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <string>
#include <vector>

namespace kestrune {

// The object the running instance offers on the bus.
class DocumentReceiver final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrune.Kestrune")
public:
    using Handler = std::function<bool(const std::vector<std::string>& paths)>;
    explicit DocumentReceiver(QObject* parent = nullptr) : QObject(parent) {}
    void setHandler(Handler handler) { handler_ = std::move(handler); }

public Q_SLOTS:
    Q_SCRIPTABLE bool OpenDocumentFiles(const QList<QByteArray>& paths);
    Q_SCRIPTABLE bool OpenDocuments(const QStringList& uris);

private:
    // Adds the local path of one handed-over path or URI, if it has one.
    static void keep(std::vector<std::string>& documents, std::string path);
    bool deliver(const std::vector<std::string>& paths);
    Handler handler_;
};

// The desktop's standard way to start, raise and give files to an
// application by its name (the desktop entry says DBusActivatable=true).
class DesktopApplicationAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit DesktopApplicationAdaptor(DocumentReceiver* receiver)
        : QDBusAbstractAdaptor(receiver), receiver_(receiver) {}

public Q_SLOTS:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    DocumentReceiver* receiver_;
};

class SingleInstance {
public:
    static constexpr const char* kService = "org.kestrune.Kestrune";
    static constexpr const char* kPath = "/org/kestrune/Kestrune";

    enum class HandOver {
        Taken,    // the running instance queued the documents
        NoOwner,  // nobody holds the name (any more): this launch may claim it
        Ending,   // the running instance is quitting: try again shortly
        NoAnswer, // it holds the name but did not answer in time
    };

    // serviceName is kService but for tests, which keep to names of their own.
    explicit SingleInstance(QDBusConnection connection,
                            QString serviceName = QString::fromLatin1(kService));
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool busAvailable() const { return connection_.isConnected(); }
    // Takes the name; false when another instance holds it already.
    bool claim();
    // Gives up the name, so that a later launch becomes the running instance.
    void release();
    // Gives the documents (absolute paths as raw bytes, possibly none) to the
    // instance that holds the name.
    HandOver handOver(const std::vector<std::string>& paths, int timeoutMs = kHandOverTimeoutMs);
    // What the claimed instance does with documents handed to it.
    void setHandler(DocumentReceiver::Handler handler) { receiver_.setHandler(std::move(handler)); }
    // What it does with events from other programs (at /org/kestrune/Events).
    void setEventHandler(EventReceiver::Handler handler) { events_.setHandler(std::move(handler)); }

    static constexpr int kHandOverTimeoutMs = 20000;

private:
    QDBusConnection connection_;
    QString service_;
    DocumentReceiver receiver_;
    EventReceiver events_;
    bool claimed_ = false;
};

// Hands the documents to the running instance or claims the name, trying
// again while a running instance is ending. True when this launch should run
// the program itself; false when another instance took the documents (done
// is then set) or could not be reached (done stays false).
bool ClaimOrHandOver(SingleInstance& instance, const std::vector<std::string>& paths, bool& done);

} // namespace kestrune
