// The open dialog lists folders and files whose extension is exactly one
// of those asked for: the comparison is case-sensitive and whole.

#include "platform/exact_suffix_filter.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kestrune::test {
namespace {

TEST(ExactSuffixFilter, ShowsFoldersAndExactExtensionsOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name :
         {"a.kedata", "b.KEDATA", "c.kedatasta", "d.kedata.bak", "e.txt", "kedata"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Folder.csv")));

    QFileSystemModel files;
    QSignalSpy loaded(&files, &QFileSystemModel::directoryLoaded);
    const QModelIndex root = files.setRootPath(dir.path());
    ASSERT_TRUE(loaded.wait(10000));
    ExactSuffixFilter filter({QStringLiteral("kedata"), QStringLiteral("kedatasta")});
    filter.setSourceModel(&files);

    const QModelIndex shownRoot = filter.mapFromSource(root);
    QStringList shown;
    for (int row = 0; row < filter.rowCount(shownRoot); ++row) {
        shown << filter.index(row, 0, shownRoot).data().toString();
    }
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"Folder.csv", "a.kedata", "c.kedatasta"}));
}

} // namespace
} // namespace kestrune::test
