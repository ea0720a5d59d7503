// The update server's requests against a real HTTP server on 127.0.0.1 in
// this process, and the update window as the user sees it.

#include "model/app_state.h"
#include "platform/update_dialog.h"
#include "platform/update_network.h"
#include "services/build_info.h"
#include "services/update_check.h"
#include "support/fake_platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QNetworkProxyFactory>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace kestrune::test {
namespace {

constexpr int kWaitMs = 10000; // the bound on every wait; none should come near it
constexpr int kPieceMs = 40;

// One answer of the test server.
struct Route {
    Route(int status, QByteArray body) : status(status), body(std::move(body)) {}
    static Route redirect(int status, QByteArray to) {
        Route r(status, {});
        r.location = std::move(to);
        return r;
    }
    // Nothing is sent for this long.
    Route delayed(int ms) const { return with(&Route::delayMs, ms); }
    // The body in this many parts, kPieceMs apart.
    Route inPieces(int n) const { return with(&Route::pieces, n); }
    // The whole body's length, half the body, then the connection closes.
    Route cutHalfway() const { return with(&Route::cut, true); }
    // No length: the body ends where the connection does.
    Route unsized() const { return with(&Route::noLength, true); }
    // The body, then the same again without end, as fast as it is taken.
    Route endless() const { return with(&Route::endlessBody, true); }
    // Half the body, then nothing more on an open connection.
    Route stalled() const { return with(&Route::stall, true); }

    int status;
    QByteArray body;
    QByteArray location;
    int delayMs = 0;
    int pieces = 1;
    bool cut = false;
    bool noLength = false;
    bool endlessBody = false;
    bool stall = false;

private:
    template <typename T> Route with(T Route::*field, T value) const {
        Route r = *this;
        r.*field = value;
        return r;
    }
};

// Answers each request from its routes (404 for other paths) and closes the
// connection. It is also the proxy for every host but 127.0.0.1, answering
// 200 there: a request that should never have left arrives with its full
// address, and would succeed.
class TestServer final : public QObject {
public:
    TestServer() {
        listening = server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                auto in = std::make_shared<QByteArray>();
                connect(socket, &QTcpSocket::readyRead, this, [this, socket, in] {
                    in->append(socket->readAll());
                    if (!in->contains("\r\n\r\n") || in->startsWith("done")) {
                        return;
                    }
                    const QByteArray target = in->split(' ').value(1);
                    *in = "done";
                    requests.push_back(target);
                    const auto found = routes.find(target);
                    answer(socket, found != routes.end()    ? found->second
                                   : target.startsWith('/') ? Route(404, {})
                                                            : Route(200, "through the proxy"));
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QByteArray url(const QByteArray& path) const {
        return "http://127.0.0.1:" + QByteArray::number(port()) + path;
    }
    quint16 port() const { return server_.serverPort(); }
    bool leaked() const {
        return std::any_of(requests.begin(), requests.end(),
                           [](const QByteArray& r) { return !r.startsWith('/'); });
    }

    bool listening = false;
    std::map<QByteArray, Route> routes;
    std::vector<QByteArray> requests; // request targets, as they arrived

private:
    static void answer(QTcpSocket* socket, const Route& route) {
        QTimer::singleShot(route.delayMs, socket, [socket, route] {
            QByteArray head =
                "HTTP/1.1 " + QByteArray::number(route.status) + " Answer\r\nConnection: close\r\n";
            if (!route.location.isEmpty()) {
                head += "Location: " + route.location + "\r\n";
            }
            if (!route.noLength) {
                head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
            }
            socket->write(head + "\r\n");
            if (route.endlessBody) {
                // Only a little waits in this process: more is written as the
                // client takes it.
                auto more = [socket, body = route.body] {
                    while (socket->bytesToWrite() < 4 * body.size()) {
                        socket->write(body);
                    }
                };
                connect(socket, &QTcpSocket::bytesWritten, socket, more);
                more();
                return;
            }
            if (route.stall) {
                socket->write(route.body.left(route.body.size() / 2));
                return;
            }
            const QByteArray body = route.cut ? route.body.left(route.body.size() / 2) : route.body;
            const qsizetype piece = (body.size() + route.pieces - 1) / route.pieces;
            for (int k = 0; k < route.pieces; ++k) {
                QTimer::singleShot(
                    k * kPieceMs, socket,
                    [socket, part = body.mid(k * piece, piece), last = k + 1 == route.pieces] {
                        socket->write(part);
                        if (last) {
                            socket->disconnectFromHost();
                        }
                    });
            }
        });
    }

    QTcpServer server_;
};

// Sends requests for every host but 127.0.0.1 through the test server.
class ThroughTestServer final : public QNetworkProxyFactory {
public:
    explicit ThroughTestServer(quint16 port) : port_(port) {}
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        if (query.peerHostName() == QLatin1String("127.0.0.1")) {
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        }
        return {QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port_)};
    }

private:
    quint16 port_;
};

// A text of numbers: no stretch of it repeats another.
QByteArray numbers(qsizetype size) {
    QByteArray text;
    for (int k = 0; text.size() < size; ++k) {
        text += QByteArray::number(k) + ' ';
    }
    return text.left(size);
}

const QByteArray kVersion = "1.2.4\n";
const QByteArray kLong = numbers(1000);
const QByteArray kArchive = numbers(20000);

struct Fetched {
    int calls = 0;
    bool ok = false;
    std::string body;
};
struct Downloaded {
    int calls = 0;
    bool ok = false;
    std::string path;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
};

// What Qt complained about while a test ran: misuse of a reply shows up here.
std::vector<std::string> complaints;
QtMessageHandler earlierHandler = nullptr;
void recordComplaint(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg) {
        complaints.push_back(message.toStdString());
    }
    earlierHandler(type, context, message);
}

class UpdateNetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listening);
        ASSERT_TRUE(folder.isValid());
        QNetworkProxyFactory::setApplicationProxyFactory(new ThroughTestServer(server.port()));
        complaints.clear();
        earlierHandler = qInstallMessageHandler(recordComplaint);
    }
    void TearDown() override {
        qInstallMessageHandler(earlierHandler);
        QNetworkProxyFactory::setApplicationProxyFactory(nullptr);
        EXPECT_EQ(complaints, std::vector<std::string>());
    }

    std::shared_ptr<Fetched> fetch(const QByteArray& url, std::size_t limit, int timeoutMs) {
        auto got = std::make_shared<Fetched>();
        network.fetchText(url.toStdString(), limit, timeoutMs, [got](bool ok, std::string body) {
            ++got->calls;
            got->ok = ok;
            got->body = std::move(body);
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return got->calls > 0; }, kWaitMs));
        return got;
    }
    std::shared_ptr<Downloaded> download(UpdateNetwork& through, const QByteArray& path,
                                         const QString& into, std::int64_t maxBytes = 1 << 20) {
        auto got = std::make_shared<Downloaded>();
        const DownloadRequest request{server.url(path).toStdString(), into.toStdString(),
                                      "Kestrune.zip", maxBytes, 5000};
        through.downloadFile(
            request,
            [got](std::int64_t received, std::int64_t total) {
                got->progress.emplace_back(received, total);
            },
            [got](bool ok, std::string where) {
                ++got->calls;
                got->ok = ok;
                got->path = std::move(where);
            });
        return got;
    }
    // Everything in the folder, hidden files too.
    static QStringList filesIn(const QString& where) {
        return QDir(where).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot);
    }
    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    TestServer server;
    QTemporaryDir folder;
    UpdateNetwork network;
};

TEST_F(UpdateNetworkTest, FetchTextKeepsToItsLimitDeadlineAndAllowedAddresses) {
    server.routes = {
        {"/version", Route(200, kVersion)},
        {"/long", Route(200, kLong)},
        {"/long-in-pieces", Route(200, kLong).inPieces(4)},
        {"/exact", Route(200, kLong.left(255))},
        {"/error", Route(500, kVersion)},
        {"/error-long", Route(500, kLong)},
        {"/slow", Route(200, kVersion).delayed(2000)},
        {"/trickle", Route(200, kLong.left(200)).inPieces(25)},
        {"/moved", Route::redirect(301, server.url("/version"))},
        {"/moved-here", Route::redirect(302, "/version")},
        {"/loop", Route::redirect(302, "/loop")},
        {"/away", Route::redirect(302, "http://example.invalid/versions/Kestrune_version.txt")},
    };
    const struct {
        const char* path;
        int timeoutMs;
        bool ok;
        QByteArray body;
    } cases[] = {
        {"/version", 5000, true, kVersion},
        {"/long", 5000, true, kLong.left(255)},
        {"/long-in-pieces", 5000, true, kLong.left(255)},
        {"/exact", 5000, true, kLong.left(255)},
        {"/error", 5000, false, {}},
        {"/error-long", 5000, false, {}},
        {"/missing", 5000, false, {}},
        {"/slow", 300, false, {}},
        {"/trickle", 300, false, {}}, // each part in time, the whole too late
        {"/moved", 5000, true, kVersion},
        {"/moved-here", 5000, true, kVersion},
        {"/loop", 5000, false, {}},
        {"/away", 5000, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto got = fetch(server.url(c.path), 255, c.timeoutMs);
        QCoreApplication::processEvents(); // a second answer would come now
        EXPECT_EQ(got->calls, 1);
        EXPECT_EQ(got->ok, c.ok);
        EXPECT_EQ(got->body, c.body.toStdString());
    }
    EXPECT_NE(std::find(server.requests.begin(), server.requests.end(), "/away"),
              server.requests.end());
    EXPECT_FALSE(server.leaked());

    // Addresses refused before anything is sent.
    const std::size_t asked = server.requests.size();
    for (const QByteArray& url :
         {QByteArray("http://10.1.2.3/x"), QByteArray("http://127.0.0.1@evil.example/x"),
          "ftp://127.0.0.1:" + QByteArray::number(server.port()) + "/x",
          QByteArray("/versions/x")}) {
        SCOPED_TRACE(url.toStdString());
        const auto got = fetch(url, 255, 5000);
        EXPECT_FALSE(got->ok);
    }
    EXPECT_EQ(server.requests.size(), asked);
}

TEST_F(UpdateNetworkTest, ADownloadLandsWholeUnderAFreeName) {
    server.routes = {{"/zip", Route(200, kArchive)}};
    const struct {
        QStringList there;
        QString landsAs;
    } cases[] = {
        {{}, "Kestrune.zip"},
        {{"Kestrune.zip"}, "Kestrune-1.zip"},
        {{"Kestrune.zip", "Kestrune-1.zip"}, "Kestrune-2.zip"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.landsAs.toStdString());
        const QString into = folder.filePath(QString::number(++n));
        ASSERT_TRUE(QDir().mkpath(into));
        for (const QString& name : c.there) {
            QFile old(QDir(into).filePath(name));
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old " + name.toUtf8());
        }
        const auto got = download(network, "/zip", into);
        ASSERT_TRUE(QTest::qWaitFor([&] { return got->calls > 0; }, kWaitMs));
        EXPECT_TRUE(got->ok);
        const QString landed = QDir(into).filePath(c.landsAs);
        EXPECT_EQ(got->path, landed.toStdString());
        EXPECT_EQ(contents(landed), kArchive);
        for (const QString& name : c.there) {
            EXPECT_EQ(contents(QDir(into).filePath(name)), "old " + name.toUtf8());
        }
        QStringList expected = c.there;
        expected << c.landsAs;
        expected.sort();
        EXPECT_EQ(filesIn(into).join(' ').toStdString(), expected.join(' ').toStdString());
    }
}

TEST_F(UpdateNetworkTest, AFailedDownloadLeavesNothingBehind) {
    server.routes = {
        {"/cut", Route(200, kArchive).cutHalfway()},
        {"/too-long", Route(200, kArchive)},
        {"/too-long-unsaid", Route(200, kArchive).unsized()},
        {"/error", Route(500, kArchive)},
        {"/error-unsaid", Route(500, kArchive).unsized()},
        {"/away", Route::redirect(302, "http://example.invalid/downloads/apps/Kestrune.zip")},
    };
    const struct {
        const char* path;
        std::int64_t maxBytes;
    } cases[] = {
        {"/cut", 1 << 20}, {"/too-long", 1000},     {"/too-long-unsaid", 1000}, {"/error", 1 << 20},
        {"/error", 1000},  {"/error-unsaid", 1000}, {"/missing", 1 << 20},      {"/away", 1 << 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const QString into = folder.filePath(QString::fromLatin1(c.path + 1));
        const auto got = download(network, c.path, into, c.maxBytes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return got->calls > 0; }, kWaitMs));
        EXPECT_FALSE(got->ok);
        EXPECT_EQ(got->path, "");
        EXPECT_TRUE(QTest::qWaitFor([&] { return filesIn(into).isEmpty(); }, kWaitMs))
            << filesIn(into).join(' ').toStdString();
        EXPECT_EQ(got->calls, 1);
    }
    EXPECT_FALSE(server.leaked());
}

TEST_F(UpdateNetworkTest, ProgressOnlyGrowsAndNamesTheWhole) {
    // Twelve parts over more than four report steps: several reports.
    server.routes = {{"/paced", Route(200, kArchive).inPieces(12)}};
    const auto got = download(network, "/paced", folder.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return got->calls > 0; }, kWaitMs));
    EXPECT_TRUE(got->ok);
    ASSERT_GE(got->progress.size(), 2U);
    EXPECT_GT(got->progress.back().first, got->progress.front().first);
    std::int64_t before = 0;
    for (const auto& [received, total] : got->progress) {
        EXPECT_GE(received, before);
        EXPECT_LE(received, total);
        EXPECT_EQ(total, kArchive.size());
        before = received;
    }
}

// Sends an endless body, as fast as the connection takes it, from a thread of
// its own: unlike the test server, it can outrun the receiving thread.
class EndlessServer {
public:
    EndlessServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port = ntohs(address.sin_port);
        sender_ = std::thread([this] {
            const int peer = ::accept(listener_, nullptr, nullptr);
            if (peer < 0) {
                return;
            }
            char request[4096];
            (void)::recv(peer, request, sizeof request, 0);
            const std::string head = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
            const QByteArray piece = numbers(64 * 1024);
            bool open = ::send(peer, head.data(), head.size(), MSG_NOSIGNAL) > 0;
            while (open) {
                open = ::send(peer, piece.constData(), static_cast<std::size_t>(piece.size()),
                              MSG_NOSIGNAL) > 0;
            }
            ::close(peer);
        });
    }
    ~EndlessServer() {
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        if (sender_.joinable()) {
            sender_.join();
        }
    }
    EndlessServer(const EndlessServer&) = delete;
    EndlessServer& operator=(const EndlessServer&) = delete;

    quint16 port = 0;

private:
    int listener_ = -1;
    std::thread sender_;
};

// Starts the process's peak memory afresh from what it holds now.
void resetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// The process's peak and present memory, in KiB, from /proc/self/status.
std::pair<qint64, qint64> memoryKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    qint64 peak = -1;
    qint64 now = -1;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() >= 2 && words[0] == "VmHWM:") {
                peak = words[1].toLongLong();
            } else if (words.size() >= 2 && words[0] == "VmRSS:") {
                now = words[1].toLongLong();
            }
        }
    }
    return {peak, now};
}

// An archive that never ends streams to its file in small pieces and stops
// as it crosses the limit: memory stays far below what came in, and nothing
// of it is left.
TEST_F(UpdateNetworkTest, AnEndlessArchiveStopsAtTheLimitInBoundedMemory) {
    constexpr std::int64_t kLimit = std::int64_t{160} * 1024 * 1024;
    constexpr qint64 kBoundKiB = 64 * 1024;
    EndlessServer endless;
    ASSERT_NE(endless.port, 0);
    resetPeakMemory();
    const auto [peakBefore, before] = memoryKiB();
    ASSERT_GT(before, 0);
    auto got = std::make_shared<Downloaded>();
    const DownloadRequest request{"http://127.0.0.1:" + std::to_string(endless.port) + "/endless",
                                  folder.path().toStdString(), "Kestrune.zip", kLimit, 5000};
    network.downloadFile(
        request,
        [got](std::int64_t received, std::int64_t total) {
            got->progress.emplace_back(received, total);
            // The window is slow to draw: the network must wait for it.
            QThread::msleep(50);
        },
        [got](bool ok, std::string where) {
            ++got->calls;
            got->ok = ok;
            got->path = std::move(where);
        });
    ASSERT_TRUE(QTest::qWaitFor([&] { return got->calls > 0; }, 120000));
    EXPECT_FALSE(got->ok);
    ASSERT_FALSE(got->progress.empty());
    EXPECT_LE(got->progress.back().first, kLimit);
    EXPECT_GT(got->progress.back().first, kLimit / 2) << "it stopped early";
    EXPECT_TRUE(QTest::qWaitFor([&] { return filesIn(folder.path()).isEmpty(); }, kWaitMs))
        << filesIn(folder.path()).join(' ').toStdString();
    const auto [peak, after] = memoryKiB();
    std::printf("an endless archive cut at %lld bytes: peak %lld KiB above %lld KiB before "
                "(peak before %lld KiB), %lld KiB after\n",
                static_cast<long long>(kLimit), static_cast<long long>(peak - before),
                static_cast<long long>(before), static_cast<long long>(peakBefore),
                static_cast<long long>(after));
    EXPECT_LT(peak - before, kBoundKiB);
    EXPECT_LT(after - before, kBoundKiB / 4);
}

// Cancelling a download that stalled after its headers removes the partial
// file at once and reports nothing; the next download runs as usual.
TEST_F(UpdateNetworkTest, ACancelledDownloadLeavesNothingAndSaysNothing) {
    server.routes = {
        {"/stalled", Route(200, kArchive).stalled()},
        {"/zip", Route(200, kArchive)},
    };
    QTemporaryDir into;
    const auto got = download(network, "/stalled", into.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got->progress.empty(); }, kWaitMs));
    network.cancelDownload();
    EXPECT_TRUE(filesIn(into.path()).isEmpty()) << filesIn(into.path()).join(' ').toStdString();
    QTest::qWait(2 * kPieceMs);
    EXPECT_EQ(got->calls, 0);
    network.cancelDownload(); // nothing runs: nothing happens

    const auto next = download(network, "/zip", into.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return next->calls > 0; }, kWaitMs));
    EXPECT_TRUE(next->ok);
    EXPECT_EQ(filesIn(into.path()).join(' ').toStdString(), "Kestrune.zip");
}

// Sets an environment variable for a test and puts back what was there.
class ScopedEnv {
public:
    explicit ScopedEnv(const char* name) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        old_ = qgetenv(name);
    }
    ~ScopedEnv() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(UpdateServerChoice, HttpsAnywherePlainHttpOnlyOnThisMachine) {
    const ScopedEnv restore("KESTRUNE_UPDATE_URL");
    const struct {
        const char* address;
        bool used;
        bool onThisMachine;
    } cases[] = {
        {"http://127.0.0.1:8080", true, true},
        {"http://localhost:1/", true, true},
        {"http://[::1]:5/", true, true},
        {"https://mirror.example/kestrune", true, false},
        {"http://example.com", false, false},
        {"http://10.0.0.1:8080/", false, false},
        {"https://mirror.example/?v=1", false, false},
        {"mirror.example", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        qputenv("KESTRUNE_UPDATE_URL", c.address);
        const UpdateServerChoice choice = ChooseUpdateServer();
        EXPECT_EQ(choice.address, c.used ? c.address : "");
        EXPECT_EQ(choice.onThisMachine, c.onThisMachine);
        EXPECT_EQ(choice.warning.find(c.address) != std::string::npos, !c.used) << choice.warning;
    }
    qunsetenv("KESTRUNE_UPDATE_URL");
    const UpdateServerChoice built = ChooseUpdateServer();
    EXPECT_EQ(built.address, BuildInfo::kUpdateServer);
    EXPECT_EQ(built.warning, "");
}

// The window as the core describes it for a state of the check.
UpdateView viewOf(const std::function<void(UpdateState&)>& set) {
    FakePlatform platform;
    AppState app{platform};
    set(app.update);
    return BuildUpdateView(app);
}

void newer(UpdateState& u) {
    u.UpdateOkFlag = 1;
    u.availStr = Str255("1.2.4\n");
}
std::function<void(UpdateState&)> downloading(std::int64_t received, std::int64_t total) {
    return [=](UpdateState& u) {
        newer(u);
        u.download = DownloadPhase::Running;
        u.received = received;
        u.total = total;
    };
}
std::function<void(UpdateState&)> downloaded(bool ok) {
    return [=](UpdateState& u) {
        newer(u);
        u.download = ok ? DownloadPhase::Succeeded : DownloadPhase::Failed;
        u.DownLoadOkFlag = ok ? 0 : 1;
    };
}

struct Seen {
    std::vector<std::pair<std::int32_t, std::int32_t>> hits;
    int returns = 0;
    int closes = 0;
    int quits = 0;
};
UpdateDialogHandlers recordInto(Seen& seen) {
    return {[&seen](std::int32_t control, std::int32_t value) {
                seen.hits.emplace_back(control, value);
            },
            [&seen] { ++seen.returns; }, [&seen] { ++seen.closes; }, [&seen] { ++seen.quits; }};
}

template <typename W> std::vector<W*> shown(const QWidget& window) {
    std::vector<W*> found;
    for (W* w : window.findChildren<W*>()) {
        if (w->isVisibleTo(&window)) {
            found.push_back(w);
        }
    }
    return found;
}

constexpr int kNoBar = -2;
constexpr int kBusy = -1;

using ButtonSeen = std::tuple<std::string, bool /*enabled*/, bool /*default*/>;

struct WindowCase {
    const char* name;
    std::function<void(UpdateState&)> set;
    QString headline;
    QRgb colour;
    // The detail line, or the text of the progress bar in its place.
    QString detail;
    int bar; // kNoBar, kBusy or the bar's value
    std::vector<ButtonSeen> buttons;
};

void expectShows(const UpdateDialog& window, const WindowCase& c) {
    QStringList texts;
    for (const QLabel* label : shown<QLabel>(window)) {
        if (!label->text().isEmpty()) {
            texts << label->text();
        }
        if (label->text() == c.headline) {
            EXPECT_EQ(label->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF, c.colour);
        }
    }
    QStringList expected{c.headline};
    if (c.bar == kNoBar) {
        expected << c.detail;
    }
    texts.sort();
    expected.sort();
    EXPECT_EQ(texts.join(" | ").toStdString(), expected.join(" | ").toStdString());

    const auto bars = shown<QProgressBar>(window);
    ASSERT_EQ(bars.size(), c.bar == kNoBar ? 0U : 1U);
    if (!bars.empty()) {
        EXPECT_EQ(bars[0]->format().toStdString(), c.detail.toStdString());
        EXPECT_EQ(c.bar == kBusy ? bars[0]->maximum() : bars[0]->value(), std::max(c.bar, 0));
    }
    std::vector<ButtonSeen> buttons;
    for (const QPushButton* b : shown<QPushButton>(window)) {
        buttons.emplace_back(b->text().toStdString(), b->isEnabled(), b->isDefault());
    }
    std::vector<ButtonSeen> wanted = c.buttons;
    std::sort(buttons.begin(), buttons.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(buttons, wanted);
    EXPECT_EQ(shown<QCheckBox>(window).size(), 1U);
}

TEST(UpdateDialogShows, EachStateOfTheCheckAndTheDownload) {
    const QRgb green = 0x00AA00;
    const QRgb blue = 0x0000FF;
    const QString current = QString::fromLatin1(BuildInfo::kBundleVersion);
    const WindowCase cases[] = {
        {"newer version",
         newer,
         "Newer Version is Available.",
         green,
         "Newer Version : 1.2.4",
         kNoBar,
         {{"Download...", true, true}, {"Don't Download", true, false}}},
        {"current version",
         [](UpdateState& u) { u.bundleStr = Str255(BuildInfo::kBundleVersion); },
         "This Version is Currently.",
         blue,
         "Current Version : " + current,
         kNoBar,
         {{"OK", true, true}}},
        {"network failure",
         [](UpdateState& u) { u.NetConnectFlag = 1; },
         "Network Connection Failed.",
         blue,
         "Please confirm the network connection.",
         kNoBar,
         {{"OK", true, true}}},
        {"downloading",
         downloading(512, 2048),
         "Newer Version is Available.",
         green,
         "512 of 2,048 bytes",
         250,
         {{"Download...", false, true}, {"Cancel", true, false}}},
        {"downloading, size unknown",
         downloading(1234567, -1),
         "Newer Version is Available.",
         green,
         "1,234,567 bytes received",
         kBusy,
         {{"Download...", false, true}, {"Cancel", true, false}}},
        {"downloaded",
         downloaded(true),
         "Download is Successful.",
         blue,
         "Download file is in the downloads folder.",
         kNoBar,
         {{"Launch Installer and Quit", true, false}, {"OK", true, true}}},
        {"download failed",
         downloaded(false),
         "Download is Failed.",
         blue,
         "Please try again later.",
         kNoBar,
         {{"OK", true, true}}},
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.name);
        const UpdateView view = viewOf(c.set);
        Seen seen;
        const UpdateDialog fresh(view, recordInto(seen), nullptr);
        expectShows(fresh, c);

        // The same state reached from the newer-version window: what is
        // gone is removed, what is new is added.
        UpdateDialog changed(viewOf(newer), recordInto(seen), nullptr);
        changed.apply(view);
        expectShows(changed, c);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return changed.findChildren<QPushButton*>().size() ==
                       static_cast<qsizetype>(c.buttons.size());
            },
            kWaitMs));
        EXPECT_TRUE(seen.hits.empty());
    }
}

TEST(UpdateDialogKeys, ReturnAndTheCloseBoxGoToTheCoreNotToTheFocusedButton) {
    Seen seen;
    QPointer<UpdateDialog> window = new UpdateDialog(viewOf(newer), recordInto(seen), nullptr);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QPushButton* dontDownload = nullptr;
    for (QPushButton* b : shown<QPushButton>(*window)) {
        dontDownload = b->text() == "Don't Download" ? b : dontDownload;
    }
    ASSERT_NE(dontDownload, nullptr);
    dontDownload->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), dontDownload);

    QTest::keyClick(dontDownload, Qt::Key_Return);
    QTest::keyClick(dontDownload, Qt::Key_Enter);
    EXPECT_EQ(seen.returns, 2);
    EXPECT_TRUE(seen.hits.empty());

    QTest::keyClick(dontDownload, Qt::Key_Escape);
    EXPECT_EQ(seen.closes, 1);
    window->close();
    EXPECT_EQ(seen.closes, 2);
    EXPECT_TRUE(window->isVisible()); // the core decides
    QTest::keyClick(dontDownload, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(seen.quits, 1);

    QTest::mouseClick(dontDownload, Qt::LeftButton);
    const auto boxes = shown<QCheckBox>(*window);
    ASSERT_EQ(boxes.size(), 1U);
    const bool ticked = boxes[0]->isChecked();
    QTest::mouseClick(boxes[0], Qt::LeftButton);
    const std::vector<std::pair<std::int32_t, std::int32_t>> hits{
        {UpdateControl::kDontDownload, 0}, {UpdateControl::kCheckOnLaunch, ticked ? 0 : 1}};
    EXPECT_EQ(seen.hits, hits);

    window->closeFromCore();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, kWaitMs));
    EXPECT_EQ(seen.closes, 2);
}

} // namespace
} // namespace kestrune::test
