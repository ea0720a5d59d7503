// Documents handed to a running instance over the session bus. Runs only
// where a session bus exists (dbus-run-session gives one of its own).

#include "platform/single_instance.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

namespace kestrune::test {
namespace {

constexpr const char* kTestService = "org.kestrune.KestruneTest";

TEST(SingleInstance, ALaterLaunchHandsItsDocumentsToTheFirst) {
    if (!QDBusConnection::sessionBus().isConnected()) {
        GTEST_SKIP() << "no session bus";
    }
    // Two connections stand for two processes.
    const QString firstName = QStringLiteral("kestrune-first");
    const QString secondName = QStringLiteral("kestrune-second");
    {
        SingleInstance first(QDBusConnection::connectToBus(QDBusConnection::SessionBus, firstName),
                             QString::fromLatin1(kTestService));
        SingleInstance second(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, secondName),
            QString::fromLatin1(kTestService));
        QStringList received;
        int deliveries = 0;
        first.setHandler([&](const QStringList& paths) {
            received = paths;
            ++deliveries;
        });

        ASSERT_TRUE(first.claim());
        EXPECT_FALSE(second.claim());
        EXPECT_TRUE(second.handOver(
            {QStringLiteral("/tmp/Speakers.kedata"), QStringLiteral("/tmp/Caf\u00E9.csv")}));
        EXPECT_EQ(deliveries, 1);
        EXPECT_EQ(received,
                  (QStringList{"/tmp/Speakers.kedata", QString::fromUtf8("/tmp/Caf\u00E9.csv")}));

        EXPECT_TRUE(second.handOver({})); // a bare second launch reaches it too
        EXPECT_EQ(deliveries, 2);
    }
    QDBusConnection::disconnectFromBus(firstName);
    QDBusConnection::disconnectFromBus(secondName);
}

TEST(SingleInstance, NobodyToHandOverToMeansRunningAlone) {
    if (!QDBusConnection::sessionBus().isConnected()) {
        GTEST_SKIP() << "no session bus";
    }
    const QString name = QStringLiteral("kestrune-lonely");
    {
        SingleInstance lonely(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name),
                              QStringLiteral("org.kestrune.KestruneNobody"));
        EXPECT_FALSE(lonely.handOver({QStringLiteral("/tmp/x.kedata")}));
    }
    QDBusConnection::disconnectFromBus(name);
}

} // namespace
} // namespace kestrune::test
