#pragma once
// One Kestrune per session. The first instance owns a name on the D-Bus
// session bus and receives the documents that later launches hand over;
// without a session bus every launch runs on its own.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace kestrune {

// The object the running instance offers on the bus.
class DocumentReceiver final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrune.Kestrune")
public:
    explicit DocumentReceiver(QObject* parent = nullptr) : QObject(parent) {}
    void setHandler(std::function<void(const QStringList&)> handler) {
        handler_ = std::move(handler);
    }

public Q_SLOTS:
    Q_SCRIPTABLE void OpenDocuments(const QStringList& paths);

private:
    std::function<void(const QStringList&)> handler_;
};

class SingleInstance {
public:
    static constexpr const char* kService = "org.kestrune.Kestrune";
    static constexpr const char* kPath = "/org/kestrune/Kestrune";

    // serviceName is kService but for tests, which keep to names of their own.
    explicit SingleInstance(QDBusConnection connection,
                            QString serviceName = QString::fromLatin1(kService));
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool busAvailable() const { return connection_.isConnected(); }
    // Takes the name; false when another instance holds it already.
    bool claim();
    // Gives the documents (absolute paths, possibly none) to the instance
    // that holds the name; false when it could not be reached.
    bool handOver(const QStringList& paths);
    // What the claimed instance does with documents handed to it.
    void setHandler(std::function<void(const QStringList&)> handler) {
        receiver_.setHandler(std::move(handler));
    }

private:
    QDBusConnection connection_;
    QString service_;
    DocumentReceiver receiver_;
    bool claimed_ = false;
};

} // namespace kestrune
