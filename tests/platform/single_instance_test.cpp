// Documents handed to a running instance over the session bus. Runs only
// where a session bus exists (dbus-run-session gives one of its own).

#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <gtest/gtest.h>

namespace kestrune::test {
namespace {

// Tests run in parallel on one bus: each process keeps to a name of its own.
QString testService() {
    return QStringLiteral("org.kestrune.KestruneTest%1").arg(QCoreApplication::applicationPid());
}

// Two connections stand for two processes.
class HandOverTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected()) {
            GTEST_SKIP() << "no session bus";
        }
        first.emplace(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "kestrune-1"),
                      testService());
        second.emplace(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "kestrune-2"),
                       testService());
        first->setHandler([this](const std::vector<std::string>& paths) {
            received.push_back(paths);
            return accepting;
        });
    }
    void TearDown() override {
        first.reset();
        second.reset();
        QDBusConnection::disconnectFromBus("kestrune-1");
        QDBusConnection::disconnectFromBus("kestrune-2");
    }

    std::optional<SingleInstance> first;
    std::optional<SingleInstance> second;
    std::vector<std::vector<std::string>> received;
    bool accepting = true;
};

TEST_F(HandOverTest, PathsArriveAsTheFileSystemsBytes) {
    ASSERT_TRUE(first->claim());
    EXPECT_FALSE(second->claim());
    // Not UTF-8: a Latin-1 e acute, as an older file system may hold it.
    const std::vector<std::string> paths = {"/tmp/Speakers.kedata", "/tmp/caf\xE9.csv"};
    EXPECT_EQ(second->handOver(paths), SingleInstance::HandOver::Taken);
    EXPECT_EQ(second->handOver({}), SingleInstance::HandOver::Taken); // a bare launch too
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], paths);
    EXPECT_TRUE(received[1].empty());
}

TEST_F(HandOverTest, FileUrisFromADesktopAreDecodedAndRelativePathsRefused) {
    ASSERT_TRUE(first->claim());
    QDBusMessage call = QDBusMessage::createMethodCall(
        testService(), QString::fromLatin1(SingleInstance::kPath),
        QString::fromLatin1(SingleInstance::kService), QStringLiteral("OpenDocuments"));
    call << QStringList{QStringLiteral("file:///home/u/My%20Speakers.kedata"),
                        QStringLiteral("relative.kedata"), QStringLiteral("/tmp/abs.csv")};
    const QDBusMessage reply =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "kestrune-2")
            .call(call, QDBus::BlockWithGui);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0],
              (std::vector<std::string>{"/home/u/My Speakers.kedata", "/tmp/abs.csv"}));
}

TEST_F(HandOverTest, TheDesktopsApplicationInterfaceOpensAndActivates) {
    ASSERT_TRUE(first->claim());
    const QString app = QStringLiteral("org.freedesktop.Application");
    QDBusMessage open = QDBusMessage::createMethodCall(
        testService(), QString::fromLatin1(SingleInstance::kPath), app, QStringLiteral("Open"));
    open << QStringList{QStringLiteral("file:///tmp/x%20y.kedata")} << QVariantMap();
    QDBusMessage activate = QDBusMessage::createMethodCall(
        testService(), QString::fromLatin1(SingleInstance::kPath), app, QStringLiteral("Activate"));
    activate << QVariantMap();
    QDBusConnection caller =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "kestrune-2");
    EXPECT_EQ(caller.call(open, QDBus::BlockWithGui).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(caller.call(activate, QDBus::BlockWithGui).type(), QDBusMessage::ReplyMessage);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], std::vector<std::string>{"/tmp/x y.kedata"});
    EXPECT_TRUE(received[1].empty()); // the window comes forward, nothing opens
}

TEST_F(HandOverTest, AnEndingInstanceIsNotTrustedWithDocumentsAndItsNameComesFree) {
    ASSERT_TRUE(first->claim());
    accepting = false;
    EXPECT_EQ(second->handOver({"/tmp/a.kedata"}), SingleInstance::HandOver::Ending);
    first->release();
    EXPECT_EQ(second->handOver({"/tmp/a.kedata"}), SingleInstance::HandOver::NoOwner);
    bool done = true;
    EXPECT_TRUE(ClaimOrHandOver(*second, {"/tmp/a.kedata"}, done)); // runs on its own now
    EXPECT_FALSE(done);
}

// Whatever a peer sends, what is kept is bounded and the next hand-over works.
TEST_F(HandOverTest, OversizedHandOversAreBoundedAndTheNextOneIsTaken) {
    ASSERT_TRUE(first->claim());
    std::vector<std::string> many;
    for (int k = 0; k < 1500; ++k) {
        many.push_back("/tmp/d" + std::to_string(k) + ".kedata");
    }
    const std::string longName = "/" + std::string(5000, 'p') + ".kedata";
    const std::string huge = "/" + std::string(64'000'000, 'p') + ".csv";
    struct Case {
        const char* what;
        std::vector<std::string> sent;
        std::size_t count; // paths kept
        std::string firstKept, lastKept;
    };
    const Case cases[] = {
        {"1500 paths", many, 1000, "/tmp/d500.kedata", "/tmp/d1499.kedata"},
        {"a path of 5000 bytes",
         {longName},
         1,
         longName.substr(0, 2048),
         longName.substr(longName.size() - 2049)},
        {"a message of 64 MB", {huge}, 1, huge.substr(0, 2048), huge.substr(huge.size() - 2049)},
        {"a plain one after them", {"/tmp/a.kedata"}, 1, "/tmp/a.kedata", "/tmp/a.kedata"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        received.clear();
        ASSERT_EQ(second->handOver(c.sent), SingleInstance::HandOver::Taken);
        ASSERT_EQ(received.size(), 1u);
        ASSERT_EQ(received[0].size(), c.count);
        EXPECT_EQ(received[0].front().substr(0, c.firstKept.size()), c.firstKept);
        const std::string& last = received[0].back();
        EXPECT_LE(last.size(), 4097u);
        EXPECT_EQ(last.substr(last.size() - std::min(last.size(), c.lastKept.size())), c.lastKept);
    }
}

// A URI spells a byte in up to three: one of 4,200 bytes of escapes still names
// a path the file system takes and is kept whole.
TEST_F(HandOverTest, AUriIsMeasuredByThePathItNames) {
    ASSERT_TRUE(first->claim());
    QString escaped;
    for (int k = 0; k < 1400; ++k) {
        escaped += QStringLiteral("%41");
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        testService(), QString::fromLatin1(SingleInstance::kPath),
        QString::fromLatin1(SingleInstance::kService), QStringLiteral("OpenDocuments"));
    const QString folder = QStringLiteral("file:///tmp/");
    call << QStringList{folder + escaped + QStringLiteral(".kedata"),
                        folder + escaped + escaped + escaped + QStringLiteral(".csv")};
    QDBusConnection caller =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "kestrune-2");
    ASSERT_EQ(caller.call(call, QDBus::BlockWithGui).type(), QDBusMessage::ReplyMessage);
    ASSERT_EQ(received.size(), 1u);
    ASSERT_EQ(received[0].size(), 2u);
    EXPECT_EQ(received[0][0], "/tmp/" + std::string(1400, 'A') + ".kedata");
    const std::string& tooLong = received[0][1]; // 4,209 bytes: cut, its ends kept
    EXPECT_EQ(tooLong.size(), 4097u);
    EXPECT_EQ(tooLong.substr(0, 6), "/tmp/A");
    EXPECT_EQ(tooLong.substr(tooLong.size() - 8), "AAAA.csv");
}

TEST_F(HandOverTest, OfAnEventOnly255BytesCountAndLongerCodesAreIgnored) {
    ASSERT_TRUE(first->claim());
    std::vector<std::string> texts;
    first->setEventHandler([&texts](const std::string& eventClass, const std::string& eventId,
                                    const std::string& text) {
        texts.push_back(eventClass + "/" + eventId + "/" + text);
    });
    QDBusConnection caller =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "kestrune-2");
    const auto send = [&](const QString& eventClass, const QByteArray& text) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            testService(), QString::fromLatin1(kEventsPath), QString::fromLatin1(kEventsInterface),
            QStringLiteral("Event"));
        call << eventClass << QStringLiteral("TEXT") << text;
        return caller.call(call, QDBus::BlockWithGui).type();
    };
    EXPECT_EQ(send(QStringLiteral("kqKS"), QByteArray(1'000'000, 'x')), QDBusMessage::ReplyMessage);
    EXPECT_EQ(send(QStringLiteral("kqKSkqKS"), "Now I Opend"), QDBusMessage::ReplyMessage);
    EXPECT_EQ(send(QStringLiteral("kqKS"), "Now I Opend"), QDBusMessage::ReplyMessage);
    EXPECT_EQ(texts, (std::vector<std::string>{"kqKS/TEXT/" + std::string(255, 'x'),
                                               "kqKS/TEXT/Now I Opend"}));
}

} // namespace
} // namespace kestrune::test
