// Where the file dialogs open and what their file-type filter says: beside
// the document when it has a file, else where the last file of the run was
// chosen, else the documents or home folder; never the working folder.

#include "platform/dialogs.h"
#include "platform/exact_suffix_filter.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace kestrune::test {
namespace {

// The user's home is a folder of the test's own while the object lives, and
// no other configuration folder points the documents folder elsewhere.
struct ScopedHome {
    explicit ScopedHome(const QString& home)
        : oldHome(qgetenv("HOME")), oldConfig(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", QFile::encodeName(home));
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~ScopedHome() {
        qputenv("HOME", oldHome);
        if (!oldConfig.isEmpty()) {
            qputenv("XDG_CONFIG_HOME", oldConfig);
        }
    }
    ScopedHome(const ScopedHome&) = delete;
    ScopedHome& operator=(const ScopedHome&) = delete;

    QByteArray oldHome;
    QByteArray oldConfig;
};

class FileDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        for (const char* folder : {"home", "docs", "other", "work"}) {
            ASSERT_TRUE(QDir(root.path()).mkdir(QString::fromLatin1(folder)));
        }
        oldCurrent = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(path("work")));
    }
    void TearDown() override {
        closeDialogs();
        QDir::setCurrent(oldCurrent);
    }

    QString path(const char* relative) const {
        return root.path() + QLatin1Char('/') + QString::fromLatin1(relative);
    }
    void touch(const char* relative) const {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // The one file dialog open on the window.
    QFileDialog* dialog() const {
        QFileDialog* shown = nullptr;
        for (QFileDialog* d : window.findChildren<QFileDialog*>()) {
            if (d->isVisible()) {
                EXPECT_EQ(shown, nullptr) << "more than one dialog";
                shown = d;
            }
        }
        EXPECT_NE(shown, nullptr);
        return shown;
    }
    void closeDialogs() {
        for (QFileDialog* d : window.findChildren<QFileDialog*>()) {
            if (d->isVisible()) {
                d->reject();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::function<void(FileChoice)> keep() {
        return [this](FileChoice c) { chosen.push_back(std::move(c)); };
    }
    void saveAs(const QString& proposed) {
        showSaveFileDialog(&window, "Save This File As...",
                           QFile::encodeName(proposed).toStdString(), "kedata", keep());
    }
    void openDocument() {
        showOpenFileDialog(&window, "Select Open File...", {"kedata", "kedatasta"}, keep());
    }
    void importTable() { showOpenFileDialog(&window, "Import", {"csv", "txt"}, keep()); }
    // The Open or Save button.
    static void accept(QDialog* d) { d->accept(); }
    // Chooses a file in the open dialog, as a double click on it would.
    void choose(const QString& file) {
        QFileDialog* d = dialog();
        d->selectFile(file);
        accept(d);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir root;
    ScopedHome home{root.path() + QStringLiteral("/home")};
    QString oldCurrent;
    QWidget window;
    std::vector<FileChoice> chosen;
};

TEST_F(FileDialogs, SaveOfADocumentWithAFileOpensBesideItWithItsNameFilledIn) {
    saveAs(path("docs/Speakers.kedatasta"));
    EXPECT_EQ(dialog()->directory().absolutePath(), path("docs"));
    EXPECT_EQ(dialog()->selectedFiles(), QStringList{path("docs/Speakers.kedatasta")});
    accept(dialog());
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0], QFile::encodeName(path("docs/Speakers.kedatasta")).toStdString());

    // A name typed without an extension is saved with the document's.
    saveAs(path("docs/Speakers.kedata"));
    dialog()->selectFile(QStringLiteral("pr3"));
    accept(dialog());
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[1], QFile::encodeName(path("docs/pr3.kedata")).toStdString());

    // A document whose folder has gone opens where the last file was chosen.
    saveAs(path("gone/Speakers.kedata"));
    EXPECT_EQ(dialog()->directory().absolutePath(), path("docs"));
    EXPECT_EQ(dialog()->selectedFiles(), QStringList{path("docs/Speakers.kedata")});
}

TEST_F(FileDialogs, WithNothingChosenYetDialogsOpenInDocumentsElseHome) {
    saveAs(QStringLiteral("untitled.kedata"));
    EXPECT_EQ(dialog()->directory().absolutePath(), path("home"));
    EXPECT_EQ(dialog()->selectedFiles(), QStringList{path("home/untitled.kedata")});
    closeDialogs();

    ASSERT_TRUE(QDir(path("home")).mkdir(QStringLiteral("Documents")));
    for (const auto& show : {std::function<void()>([&] { saveAs("untitled.kedata"); }),
                             std::function<void()>([&] { openDocument(); }),
                             std::function<void()>([&] { importTable(); })}) {
        show();
        EXPECT_EQ(dialog()->directory().absolutePath(), path("home/Documents"));
        closeDialogs();
    }
    EXPECT_EQ(chosen, (std::vector<FileChoice>(4, std::nullopt)));
}

TEST_F(FileDialogs, TheNextDialogsOpenWhereTheLastFileWasChosen) {
    touch("other/a.kedata");
    openDocument();
    choose(path("other/a.kedata"));
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0], QFile::encodeName(path("other/a.kedata")).toStdString());

    saveAs(QStringLiteral("untitled.kedata"));
    EXPECT_EQ(dialog()->directory().absolutePath(), path("other"));
    EXPECT_EQ(dialog()->selectedFiles(), QStringList{path("other/untitled.kedata")});
    closeDialogs();
    importTable();
    EXPECT_EQ(dialog()->directory().absolutePath(), path("other"));
    closeDialogs();

    // Each window remembers its own.
    QWidget second;
    showOpenFileDialog(&second, "Select Open File...", {"kedata"}, keep());
    QFileDialog* other = second.findChild<QFileDialog*>();
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->directory().absolutePath(), path("home"));
    other->reject();
}

TEST_F(FileDialogs, OpenDialogsNameTheirFilterAfterTheExactExtensionsTheyShow) {
    for (const char* name :
         {"docs/a.kedata", "docs/b.KEDATA", "docs/c.kedatasta", "docs/d.kedata.bak", "docs/e.csv",
          "docs/f.CSV", "docs/notes.txt", "docs/g.csv.txt"}) {
        touch(name);
    }
    ASSERT_TRUE(QDir(path("docs")).mkdir(QStringLiteral("Folder")));
    // Sets the last folder to docs.
    saveAs(path("docs/new.kedata"));
    accept(dialog());

    const struct {
        std::function<void()> show;
        QString filter;
        QStringList shown;
    } cases[] = {
        {[&] { openDocument(); },
         QStringLiteral("Kestrune Documents (*.kedata *.kedatasta)"),
         {"Folder", "a.kedata", "c.kedatasta"}},
        {[&] { importTable(); },
         QStringLiteral("CSV and Text Files (*.csv *.txt)"),
         {"Folder", "e.csv", "g.csv.txt", "notes.txt"}},
    };
    QStringList everything{"Folder"};
    for (const QString& name : QDir(path("docs")).entryList(QDir::Files)) {
        everything << name;
    }
    everything.sort();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter.toStdString());
        c.show();
        QFileDialog* d = dialog();
        EXPECT_EQ(d->nameFilters(), (QStringList{c.filter, QStringLiteral("All Files (*)")}));
        ASSERT_NE(qobject_cast<ExactSuffixFilter*>(d->proxyModel()), nullptr);

        // What the list shows, once the folder has been read.
        QAbstractProxyModel* proxy = d->proxyModel();
        const auto* files = qobject_cast<const QFileSystemModel*>(proxy->sourceModel());
        ASSERT_NE(files, nullptr);
        const auto shown = [&] {
            const QModelIndex folder = proxy->mapFromSource(files->index(path("docs")));
            QStringList names;
            for (int row = 0; row < proxy->rowCount(folder); ++row) {
                names << proxy->index(row, 0, folder).data().toString();
            }
            names.sort();
            return names;
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown().size() >= c.shown.size(); }, 10000));
        QTest::qWait(50); // anything else the folder holds arrives too
        EXPECT_EQ(shown(), c.shown);

        // "All Files" chosen in the list of types shows every file.
        auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        types->setCurrentIndex(1);
        emit types->activated(1); // what a choice in the list sends
        emit types->textActivated(types->itemText(1));
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == everything; }, 10000))
            << [&] { return shown().join(QLatin1Char(' ')).toStdString(); }();
        closeDialogs();
    }
}

} // namespace
} // namespace kestrune::test
