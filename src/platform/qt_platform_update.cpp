// The update check's part of the desktop: the network, the Downloads folder,
// the trash and the update window.

#include "platform/main_window.h"
#include "platform/qt_platform.h"
#include "platform/update_network.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace kestrune {

UpdateNetwork& QtPlatform::network() {
    if (network_ == nullptr) {
        network_ = new UpdateNetwork(&context_);
    }
    return *network_;
}

bool QtPlatform::internetAvailable() {
    return network().internetAvailable();
}

void QtPlatform::fetchText(const std::string& url, std::size_t maxBytes, int timeoutMs,
                           std::function<void(bool ok, std::string body)> done) {
    network().fetchText(url, maxBytes, timeoutMs,
                        [this, done = std::move(done)](bool ok, std::string body) {
                            gate_.pass([done, ok, body = std::move(body)] { done(ok, body); });
                        });
}

void QtPlatform::downloadFile(const DownloadRequest& request,
                              std::function<void(std::int64_t, std::int64_t)> progress,
                              std::function<void(bool ok, std::string path)> done) {
    network().downloadFile(
        request,
        [this, progress = std::move(progress)](std::int64_t received, std::int64_t total) {
            gate_.pass([progress, received, total] { progress(received, total); });
        },
        [this, done = std::move(done)](bool ok, std::string path) {
            gate_.pass([done, ok, path = std::move(path)] { done(ok, path); });
        });
}

void QtPlatform::cancelDownload() {
    network().cancelDownload();
}

std::string QtPlatform::downloadsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty()) {
        folder = QDir::home().filePath(QStringLiteral("Downloads"));
    }
    return QFile::encodeName(folder).toStdString();
}

bool QtPlatform::moveToTrash(const std::string& path) {
    // A new account may not have the data folder the trash lives in yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return QFile::moveToTrash(QFile::decodeName(path.c_str()));
}

void QtPlatform::openUpdateWindow(const UpdateView& view) {
    if (window_ != nullptr) {
        window_->openUpdate(view);
    }
}

void QtPlatform::updateUpdateWindow(const UpdateView& view) {
    if (window_ != nullptr) {
        window_->updateUpdate(view);
    }
}

void QtPlatform::closeUpdateWindow() {
    if (window_ != nullptr) {
        window_->closeUpdate();
    }
}

} // namespace kestrune
