#pragma once
// What the update check asks of the network.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kestrune {

// A file to fetch into a folder: under fileName, or under the first free
// name DownloadNameCandidate gives, never over an existing file.
struct DownloadRequest {
    std::string url;
    std::string folder;
    std::string fileName;
    std::int64_t maxBytes = 0;
    int timeoutMs = 0;
};

class Network {
public:
    virtual ~Network() = default;

    // False only when the desktop reports the network as down; asked
    // without connecting anywhere.
    virtual bool internetAvailable() = 0;
    // Fetches a URL's body. done runs once: ok with at most maxBytes of the
    // body (the rest is not read), or not ok when the request failed, was
    // answered with an HTTP error, was led to a refused address or took
    // longer than timeoutMs.
    virtual void fetchText(const std::string& url, std::size_t maxBytes, int timeoutMs,
                           std::function<void(bool ok, std::string body)> done) = 0;
    // Downloads a file. progress reports the bytes received and the whole
    // (-1 when unknown); done runs once, with the file's path, or not ok
    // when the download failed, grew past maxBytes or stalled for timeoutMs,
    // in which case nothing of it is left in the folder.
    virtual void
    downloadFile(const DownloadRequest& request,
                 std::function<void(std::int64_t received, std::int64_t total)> progress,
                 std::function<void(bool ok, std::string path)> done) = 0;
    // Stops the running download, if any: its partial file is removed at
    // once and its done never runs.
    virtual void cancelDownload() = 0;
};

} // namespace kestrune
