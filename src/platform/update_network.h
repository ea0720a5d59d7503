#pragma once
// The update server's requests, done with Qt's network access: https with the
// certificates checked, plain http on this machine only, redirects followed
// only where the first address could have gone, bodies cut at their limits,
// and downloads that land under a free name or leave nothing behind.

#include "ports/platform.h"

#include <QObject>
#include <functional>
#include <string>

class QNetworkAccessManager;
class QUrl;

namespace kestrune {

// The update server's address: KESTRUNE_UPDATE_URL when it is set, else the
// one the program was built with. An address that may not be used (plain
// http to another machine, no host) gives an empty one, and why in warning.
struct UpdateServerChoice {
    std::string address;
    bool onThisMachine = false;
    std::string warning;
};
UpdateServerChoice ChooseUpdateServer();

// Whether a request may go to, or be redirected to, this address.
bool UpdateUrlAllowed(const QUrl& url);

class UpdateNetwork final : public QObject {
public:
    explicit UpdateNetwork(QObject* parent = nullptr);
    ~UpdateNetwork() override;

    bool internetAvailable();
    void fetchText(const std::string& url, std::size_t maxBytes, int timeoutMs,
                   std::function<void(bool ok, std::string body)> done);
    void downloadFile(const DownloadRequest& request,
                      std::function<void(std::int64_t received, std::int64_t total)> progress,
                      std::function<void(bool ok, std::string path)> done);
    // Stops the running download and removes its partial file at once.
    void cancelDownload();

private:
    QNetworkAccessManager& manager();

    QNetworkAccessManager* manager_ = nullptr;
    bool reachabilityAsked_ = false;
    // Ends the running download without a word; empty when none runs.
    std::function<void()> cancel_;
};

} // namespace kestrune
