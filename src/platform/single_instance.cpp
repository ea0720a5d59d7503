#include "platform/single_instance.h"

#include "application/hand_over_limits.h"
#include "documents/document_paths.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>
#include <QThread>

namespace kestrune {
namespace {

constexpr int kClaimAttempts = 50;
constexpr int kRetryPauseMs = 100;

} // namespace

void DocumentReceiver::keep(std::vector<std::string>& documents, std::string path) {
    CutOverlongPath(path, kMaxArgumentBytes);
    std::string local = DocumentPathFromArgument(path, {});
    CutOverlongPath(local);
    if (!local.empty()) {
        documents.push_back(std::move(local));
    }
}

bool DocumentReceiver::deliver(const std::vector<std::string>& paths) {
    return handler_ ? handler_(paths) : false;
}

bool DocumentReceiver::OpenDocumentFiles(const QList<QByteArray>& paths) {
    std::vector<std::string> documents;
    for (auto at = FirstKeptPath(paths.size()); at < static_cast<std::size_t>(paths.size()); ++at) {
        keep(documents, paths[static_cast<qsizetype>(at)].toStdString());
    }
    return deliver(documents);
}

bool DocumentReceiver::OpenDocuments(const QStringList& uris) {
    std::vector<std::string> documents;
    for (auto at = FirstKeptPath(uris.size()); at < static_cast<std::size_t>(uris.size()); ++at) {
        const QString& uri = uris[static_cast<qsizetype>(at)];
        // A URI is percent-encoded ASCII; a plain path is in the file system's encoding.
        keep(documents, uri.startsWith(QStringLiteral("file:"))
                            ? uri.toUtf8().toStdString()
                            : QFile::encodeName(uri).toStdString());
    }
    return deliver(documents);
}

void DesktopApplicationAdaptor::Activate(const QVariantMap& /*platformData*/) {
    receiver_->OpenDocuments({}); // no documents: the window comes forward
}

void DesktopApplicationAdaptor::Open(const QStringList& uris, const QVariantMap& /*platformData*/) {
    receiver_->OpenDocuments(uris);
}

void DesktopApplicationAdaptor::ActivateAction(const QString& /*name*/,
                                               const QVariantList& /*parameter*/,
                                               const QVariantMap& /*platformData*/) {
    // Kestrune declares no actions.
}

SingleInstance::SingleInstance(QDBusConnection connection, QString serviceName)
    : connection_(std::move(connection)), service_(std::move(serviceName)) {
    qDBusRegisterMetaType<QList<QByteArray>>();
    new DesktopApplicationAdaptor(&receiver_); // owned by the receiver
}

SingleInstance::~SingleInstance() {
    release();
}

bool SingleInstance::claim() {
    if (!busAvailable()) {
        return false;
    }
    if (!connection_.registerService(service_)) {
        return false;
    }
    claimed_ = connection_.registerObject(QString::fromLatin1(kPath), &receiver_,
                                          QDBusConnection::ExportScriptableSlots |
                                              QDBusConnection::ExportAdaptors) &&
               connection_.registerObject(QString::fromLatin1(kEventsPath), &events_,
                                          QDBusConnection::ExportScriptableSlots);
    if (!claimed_) {
        connection_.unregisterObject(QString::fromLatin1(kPath));
        connection_.unregisterService(service_);
    }
    return claimed_;
}

void SingleInstance::release() {
    if (claimed_) {
        claimed_ = false;
        connection_.unregisterObject(QString::fromLatin1(kPath));
        connection_.unregisterObject(QString::fromLatin1(kEventsPath));
        connection_.unregisterService(service_);
    }
}

SingleInstance::HandOver SingleInstance::handOver(const std::vector<std::string>& paths,
                                                  int timeoutMs) {
    if (!busAvailable()) {
        return HandOver::NoOwner;
    }
    QList<QByteArray> raw;
    for (const std::string& path : paths) {
        raw << QByteArray::fromStdString(path);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(service_, QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kService),
                                                       QStringLiteral("OpenDocumentFiles"));
    call << QVariant::fromValue(raw);
    // The running instance may live in this very process (tests), so events
    // keep flowing while the answer is awaited.
    const QDBusMessage reply = connection_.call(call, QDBus::BlockWithGui, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        const QList<QVariant> arguments = reply.arguments();
        return !arguments.isEmpty() && arguments.front().toBool() ? HandOver::Taken
                                                                  : HandOver::Ending;
    }
    const QDBusError::ErrorType error = QDBusError(reply).type();
    if (error == QDBusError::ServiceUnknown || error == QDBusError::UnknownObject ||
        error == QDBusError::UnknownMethod || error == QDBusError::UnknownInterface) {
        return HandOver::NoOwner;
    }
    return HandOver::NoAnswer;
}

bool ClaimOrHandOver(SingleInstance& instance, const std::vector<std::string>& paths, bool& done) {
    done = false;
    if (!instance.busAvailable()) {
        return true; // no session bus: every launch runs on its own
    }
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        if (instance.claim()) {
            return true;
        }
        switch (instance.handOver(paths)) {
        case SingleInstance::HandOver::Taken:
            done = true;
            return false;
        case SingleInstance::HandOver::NoAnswer:
            return false; // never a second window beside one that holds the name
        case SingleInstance::HandOver::NoOwner:
            break; // the name came free: claim it
        case SingleInstance::HandOver::Ending:
            QThread::msleep(kRetryPauseMs);
            break;
        }
    }
    return false;
}

} // namespace kestrune
