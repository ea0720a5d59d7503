#include "platform/single_instance.h"

#include <QDBusMessage>

namespace kestrune {
namespace {

constexpr int kHandOverTimeoutMs = 10000;

} // namespace

void DocumentReceiver::OpenDocuments(const QStringList& paths) {
    if (handler_) {
        handler_(paths);
    }
}

SingleInstance::SingleInstance(QDBusConnection connection, QString serviceName)
    : connection_(std::move(connection)), service_(std::move(serviceName)) {}

SingleInstance::~SingleInstance() {
    if (claimed_) {
        connection_.unregisterObject(QString::fromLatin1(kPath));
        connection_.unregisterService(service_);
    }
}

bool SingleInstance::claim() {
    if (!busAvailable()) {
        return false;
    }
    if (!connection_.registerService(service_)) {
        return false;
    }
    claimed_ = connection_.registerObject(QString::fromLatin1(kPath), &receiver_,
                                          QDBusConnection::ExportScriptableSlots);
    if (!claimed_) {
        connection_.unregisterService(service_);
    }
    return claimed_;
}

bool SingleInstance::handOver(const QStringList& paths) {
    if (!busAvailable()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(service_, QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kService),
                                                       QStringLiteral("OpenDocuments"));
    call << paths;
    // The running instance may live in this very process (tests), so events
    // keep flowing while the answer is awaited.
    const QDBusMessage reply = connection_.call(call, QDBus::BlockWithGui, kHandOverTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace kestrune
