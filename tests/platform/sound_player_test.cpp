// The click sound: played to its end where there is an audio output, and
// given up at once, quietly, where there is none (servers, CI).

#include "platform/images.h"
#include "platform/sound_player.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrune::test {
namespace {

TEST(SoundPlayer, PlaysTheClickOrSaysThereIsNoOutputAndRefusesWhatIsNoSound) {
    const QString click = QDir(imagesFolder()).filePath(QStringLiteral("Click.aif"));
    ASSERT_TRUE(QFile::exists(click)) << click.toStdString();
    const int status = playSoundFile(click);
    EXPECT_TRUE(status == 0 || status == -1) << status;

    QTemporaryDir dir;
    const QString notSound = dir.filePath(QStringLiteral("Click.aif"));
    QFile file(notSound);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("FORM but not really a sound");
    file.close();
    EXPECT_EQ(playSoundFile(notSound), -43);
    EXPECT_EQ(playSoundFile(dir.filePath(QStringLiteral("missing.aif"))), -43);
}

} // namespace
} // namespace kestrune::test
