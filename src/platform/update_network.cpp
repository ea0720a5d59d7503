#include "platform/update_network.h"

#include "services/build_info.h"
#include "services/update_check.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace kestrune {
namespace {

constexpr int kMaxRedirects = 5;
// The window follows a download at most this often.
constexpr int kProgressStepMs = 100;
// A download's body goes to its file in pieces of at most this size, and
// no more than this waits in memory: the network is not read further until
// the file has taken it.
constexpr qint64 kReadChunk = qint64{256} * 1024;

QUrl toUrl(const std::string& text) {
    return QUrl(QString::fromStdString(text), QUrl::StrictMode);
}

QNetworkRequest requestFor(const QUrl& url, int timeoutMs) {
    QNetworkRequest request(url);
    // Each redirect is looked at before it is followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setTransferTimeout(timeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Kestrune/%1").arg(QLatin1String(BuildInfo::kBundleVersion)));
    return request;
}

// A redirect is followed only to an address the request could have started
// at, and never from https down to plain http.
void guardRedirects(QNetworkReply* reply, const QUrl& from) {
    const bool secure = from.scheme().toLower() == QLatin1String("https");
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, secure](const QUrl& to) {
        const bool downgrade = secure && to.scheme().toLower() != QLatin1String("https");
        if (UpdateUrlAllowed(to) && !downgrade) {
            emit reply->redirectAllowed();
        } else {
            reply->abort();
        }
    });
}

// A complete answer that is not an HTTP error.
bool answeredWell(QNetworkReply* reply) {
    if (reply->error() != QNetworkReply::NoError) {
        return false;
    }
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return !status.isValid() || (status.toInt() >= 200 && status.toInt() < 300);
}

// Gives the finished file its name in the folder without replacing any
// file there: the first free one of the candidates.
std::string placeWithoutReplacing(const QString& temporary, const DownloadRequest& request) {
    const QByteArray from = QFile::encodeName(temporary);
    for (int k = 0; k < 1000; ++k) {
        const QString name = QString::fromStdString(DownloadNameCandidate(request.fileName, k));
        const QByteArray to =
            QFile::encodeName(QDir(QString::fromStdString(request.folder)).filePath(name));
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) ==
            0) {
            return to.toStdString();
        }
        if (errno == EEXIST) {
            continue;
        }
        // A file system without the no-replace rename: a hard link cannot
        // replace a file either.
        if (errno != EINVAL || ::link(from.constData(), to.constData()) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            return {};
        }
        ::unlink(from.constData());
        return to.toStdString();
    }
    return {};
}

} // namespace

bool UpdateUrlAllowed(const QUrl& url) {
    return url.isValid() && !url.isRelative() &&
           UpdateAddressAllowed(url.scheme().toLower().toStdString(), url.host().toStdString());
}

UpdateServerChoice ChooseUpdateServer() {
    UpdateServerChoice choice;
    const QByteArray overridden = qgetenv("KESTRUNE_UPDATE_URL");
    const QString text = overridden.isEmpty() ? QString::fromUtf8(BuildInfo::kUpdateServer)
                                              : QString::fromUtf8(overridden);
    const QUrl url(text, QUrl::StrictMode);
    if (!UpdateUrlAllowed(url) || url.hasQuery() || url.hasFragment()) {
        choice.warning = "kestrune: the update server address \"" + text.toStdString() +
                         "\" is not used: it must be https, or http on this machine.";
        return choice;
    }
    choice.address = url.toString(QUrl::FullyEncoded).toStdString();
    choice.onThisMachine = url.scheme().toLower() == QLatin1String("http");
    return choice;
}

UpdateNetwork::UpdateNetwork(QObject* parent) : QObject(parent) {}

UpdateNetwork::~UpdateNetwork() {
    // Answers still on their way go nowhere; unfinished downloads are removed
    // with their temporary files.
    if (manager_ != nullptr) {
        for (QObject* child : manager_->children()) {
            child->disconnect(this);
        }
    }
}

QNetworkAccessManager& UpdateNetwork::manager() {
    if (manager_ == nullptr) {
        manager_ = new QNetworkAccessManager(this);
    }
    return *manager_;
}

bool UpdateNetwork::internetAvailable() {
    if (!reachabilityAsked_) {
        reachabilityAsked_ = true;
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    }
    const QNetworkInformation* information = QNetworkInformation::instance();
    return information == nullptr ||
           information->reachability() != QNetworkInformation::Reachability::Disconnected;
}

void UpdateNetwork::fetchText(const std::string& url, std::size_t maxBytes, int timeoutMs,
                              std::function<void(bool ok, std::string body)> done) {
    const QUrl address = toUrl(url);
    if (!UpdateUrlAllowed(address)) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false, {}); });
        return;
    }
    QNetworkReply* reply = manager().get(requestFor(address, timeoutMs));
    guardRedirects(reply, address);
    struct Fetch {
        std::string body;
        bool full = false;
        bool ended = false;
    };
    auto fetch = std::make_shared<Fetch>();
    auto finish = [reply, fetch, done = std::move(done)](bool ok) {
        if (fetch->ended) {
            return;
        }
        fetch->ended = true;
        reply->deleteLater();
        done(ok, ok ? std::move(fetch->body) : std::string());
    };
    connect(reply, &QNetworkReply::readyRead, this, [reply, fetch, maxBytes, finish] {
        const qint64 room = static_cast<qint64>(maxBytes - fetch->body.size());
        const QByteArray bytes = reply->read(room);
        fetch->body.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (fetch->body.size() >= maxBytes && reply->bytesAvailable() > 0) {
            // More than a version file holds: what fits counts, the rest is not
            // read. Deleting the reply ends it: an abort would race an error
            // still on its way, which Qt reports as an internal problem.
            fetch->full = true;
            finish(answeredWell(reply));
        }
    });
    connect(reply, &QNetworkReply::finished, this, [reply, finish] {
        if (!answeredWell(reply)) {
            finish(false);
            return;
        }
        finish(true);
    });
    // The deadline holds for the whole answer, not only between its bytes.
    QTimer::singleShot(timeoutMs, reply, [reply] { reply->abort(); });
}

void UpdateNetwork::downloadFile(
    const DownloadRequest& request,
    std::function<void(std::int64_t received, std::int64_t total)> progress,
    std::function<void(bool ok, std::string path)> done) {
    const QUrl address = toUrl(request.url);
    const QString folder = QString::fromStdString(request.folder);
    auto file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(
        QStringLiteral(".%1.XXXXXX.part").arg(QString::fromStdString(request.fileName))));
    if (!UpdateUrlAllowed(address) || !QDir().mkpath(folder) || !file->open()) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false, {}); });
        return;
    }
    cancelDownload();
    QNetworkReply* reply = manager().get(requestFor(address, request.timeoutMs));
    reply->setReadBufferSize(kReadChunk);
    guardRedirects(reply, address);
    // The temporary file lives as long as the reply, and goes with it.
    QTemporaryFile* part = file.release();
    part->setParent(reply);
    struct Transfer {
        std::int64_t written = 0;
        bool ended = false;
        bool reportDue = false;
    };
    auto transfer = std::make_shared<Transfer>();
    // Deleting the reply ends its transfer (see fetchText) and removes the file.
    auto fail = [reply, transfer, done] {
        if (transfer->ended) {
            return;
        }
        transfer->ended = true;
        reply->deleteLater();
        done(false, {});
    };
    cancel_ = [this, reply, part, transfer] {
        if (transfer->ended) {
            return;
        }
        transfer->ended = true;
        // The file goes now: the program may end before the reply is deleted.
        part->remove();
        reply->disconnect(this);
        reply->deleteLater();
    };
    // The progress a moment after the bytes came, so that the last of a
    // burst is reported too.
    auto report = [reply, transfer, progress] {
        if (transfer->reportDue || transfer->ended) {
            return;
        }
        transfer->reportDue = true;
        QTimer::singleShot(kProgressStepMs, reply, [reply, transfer, progress] {
            transfer->reportDue = false;
            if (transfer->ended) {
                return;
            }
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            progress(transfer->written, length.isValid() ? length.toLongLong() : -1);
        });
    };
    const std::int64_t limit = request.maxBytes;
    connect(reply, &QNetworkReply::readyRead, this, [reply, part, limit, transfer, report, fail] {
        while (!transfer->ended && reply->bytesAvailable() > 0) {
            const QByteArray bytes = reply->read(kReadChunk);
            if (bytes.isEmpty()) {
                break;
            }
            // The limit stops the transfer as it is crossed, before the bytes
            // past it are written.
            if (transfer->written + bytes.size() > limit || part->write(bytes) != bytes.size()) {
                fail();
                return;
            }
            transfer->written += bytes.size();
        }
        report();
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, limit, fail] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limit) {
            fail();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [reply, part, request, transfer, done, fail] {
        if (transfer->ended) {
            return;
        }
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const bool whole = !length.isValid() || length.toLongLong() == transfer->written;
        if (!answeredWell(reply) || !whole || !part->flush() || ::fsync(part->handle()) != 0) {
            fail();
            return;
        }
        part->setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                             QFile::ReadOther);
        const std::string placed = placeWithoutReplacing(part->fileName(), request);
        if (placed.empty()) {
            fail();
            return;
        }
        part->setAutoRemove(false);
        transfer->ended = true;
        reply->deleteLater();
        done(true, placed);
    });
}

void UpdateNetwork::cancelDownload() {
    if (cancel_) {
        auto cancel = std::move(cancel_);
        cancel_ = nullptr;
        cancel();
    }
}

} // namespace kestrune
