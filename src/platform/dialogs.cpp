#include "platform/dialogs.h"

#include "platform/exact_suffix_filter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>

#include <algorithm>
#include <memory>

namespace kestrune {
namespace {

QString utf8(const std::string& text) {
    return QString::fromStdString(text);
}

// File names travel to the core in the file system's own encoding.
std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A message the user may select and copy, with the mouse or the keyboard.
constexpr Qt::TextInteractionFlags kCopyableText =
    Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;

// The window property that holds the folder of the last file chosen in one
// of its file dialogs during this run.
constexpr const char* kLastFolderProperty = "kestruneLastFileFolder";

QFileDialog* fileDialog(QWidget* window, const std::string& title) {
    auto* dialog = new QFileDialog(window, utf8(title));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    // Qt's own dialog, so that the exact extension filter applies.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setDirectory(FileDialogStartFolder(window));
    return dialog;
}

void deliverChoice(QWidget* window, QFileDialog* dialog,
                   const std::function<void(FileChoice)>& done) {
    const QPointer<QWidget> owner(window);
    QObject::connect(dialog, &QDialog::finished, dialog, [owner, dialog, done](int result) {
        const QStringList chosen = dialog->selectedFiles();
        if (result == QDialog::Accepted && !chosen.isEmpty()) {
            if (owner != nullptr) {
                owner->setProperty(kLastFolderProperty, QFileInfo(chosen.front()).absolutePath());
            }
            done(localPath(chosen.front()));
        } else {
            done(std::nullopt);
        }
    });
}

// "Kestrune Documents (*.kedata *.kedatasta)": what the list shows, named.
QString nameFilterFor(const std::vector<std::string>& extensions) {
    QStringList patterns;
    bool documents = !extensions.empty();
    bool tables = !extensions.empty();
    for (const std::string& extension : extensions) {
        patterns << QStringLiteral("*.") + utf8(extension);
        documents = documents && (extension == "kedata" || extension == "kedatasta");
        tables = tables && (extension == "csv" || extension == "txt");
    }
    QString name = QStringLiteral("Files");
    if (documents) {
        name = QStringLiteral("Kestrune Documents");
    } else if (tables) {
        name = QStringLiteral("CSV and Text Files");
    }
    return name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

QString FileDialogStartFolder(const QWidget* window) {
    if (window != nullptr) {
        const QString last = window->property(kLastFolderProperty).toString();
        if (!last.isEmpty() && QDir(last).exists()) {
            return last;
        }
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists()) {
        return documents;
    }
    return QDir::homePath();
}

namespace {

struct Choice {
    QString label;
    QMessageBox::ButtonRole role;
};

// A window-modal warning with two choices and Cancel; answered gets 0 or 1
// for the choices, 2 for Cancel (and Escape, and the close box). Return
// chooses the default: 0, 1 or 2 as answered counts them.
QMessageBox* askWithTwoChoices(QWidget* window, const QString& text, const QString& details,
                               const Choice& first, const Choice& second, int defaultChoice,
                               std::function<void(int)> answered) {
    auto* box = new QMessageBox(window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::Warning);
    box->setText(text);
    box->setInformativeText(details);
    QPushButton* one = box->addButton(first.label, first.role);
    QPushButton* two = box->addButton(second.label, second.role);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setEscapeButton(cancel);
    box->setDefaultButton(defaultChoice == 0 ? one : defaultChoice == 1 ? two : cancel);
    QObject::connect(box, &QDialog::finished, box,
                     [box, one, two, answered = std::move(answered)](int) {
                         const QAbstractButton* clicked = box->clickedButton();
                         answered(clicked == one ? 0 : clicked == two ? 1 : 2);
                     });
    return box;
}

} // namespace

void showSaveChangesDialog(QWidget* window, const std::string& fileName,
                           std::function<void(SaveChangesAnswer)> done) {
    QMessageBox* box = askWithTwoChoices(
        window,
        QStringLiteral("Do you want to save the changes you made in the document \u201C%1\u201D?")
            .arg(utf8(fileName)),
        QStringLiteral("Your changes will be lost if you don\u2019t save them."),
        {QStringLiteral("&Save"), QMessageBox::AcceptRole},
        {QStringLiteral("&Don\u2019t Save"), QMessageBox::DestructiveRole}, 0,
        [done = std::move(done)](int answer) {
            done(answer == 0   ? SaveChangesAnswer::Save
                 : answer == 1 ? SaveChangesAnswer::DontSave
                               : SaveChangesAnswer::Cancel);
        });
    box->open();
}

void showChangedFileDialog(QWidget* window, const std::string& fileName,
                           std::function<void(ChangedFileAnswer)> done) {
    QMessageBox* box = askWithTwoChoices(
        window,
        QStringLiteral("The document \u201C%1\u201D was changed by another program.")
            .arg(utf8(fileName)),
        QStringLiteral("Save Anyway replaces its changes with the sheet. Reopen shows the document "
                       "as it is now."),
        {QStringLiteral("&Save Anyway"), QMessageBox::DestructiveRole},
        {QStringLiteral("&Reopen"), QMessageBox::ActionRole}, 2,
        [done = std::move(done)](int answer) {
            done(answer == 0   ? ChangedFileAnswer::SaveAnyway
                 : answer == 1 ? ChangedFileAnswer::Reopen
                               : ChangedFileAnswer::Cancel);
        });
    box->setTextInteractionFlags(kCopyableText);
    box->open();
}

namespace {

QFileDialog* saveFileDialog(QWidget* window, const std::string& title,
                            const std::string& proposedName, const std::string& extension) {
    QFileDialog* dialog = fileDialog(window, title);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // Added before the dialog asks about replacing a file, so that question
    // names the file that would really be replaced.
    dialog->setDefaultSuffix(utf8(extension));
    // A document that has a file is proposed by its full path: the dialog
    // opens beside it. A bare name opens where the last file dialog left off.
    const QFileInfo proposed(QFile::decodeName(proposedName.c_str()));
    if (proposed.isAbsolute() && proposed.absoluteDir().exists()) {
        dialog->setDirectory(proposed.absolutePath());
    }
    dialog->selectFile(proposed.fileName());
    return dialog;
}

} // namespace

void showSaveFileDialog(QWidget* window, const std::string& title, const std::string& proposedName,
                        const std::string& extension, std::function<void(FileChoice)> done) {
    QFileDialog* dialog = saveFileDialog(window, title, proposedName, extension);
    deliverChoice(window, dialog, done);
    dialog->open();
}

void showSaveFileOfTypeDialog(QWidget* window, const std::string& title,
                              const std::string& proposedName,
                              const std::vector<SaveFileType>& types,
                              std::function<void(FileChoice, std::size_t)> done) {
    QFileDialog* dialog = saveFileDialog(window, title, proposedName, types.front().extension);
    QStringList filters;
    for (const SaveFileType& type : types) {
        filters << utf8(type.name);
    }
    dialog->setNameFilters(filters);
    dialog->selectNameFilter(filters.front());
    auto typeOf = std::make_shared<std::size_t>(0);
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog,
                     [dialog, filters, types, typeOf](const QString& chosen) {
                         *typeOf = static_cast<std::size_t>(
                             std::max<qsizetype>(filters.indexOf(chosen), 0));
                         dialog->setDefaultSuffix(utf8(types[*typeOf].extension));
                     });
    deliverChoice(window, dialog, [typeOf, done = std::move(done)](FileChoice choice) {
        done(std::move(choice), *typeOf);
    });
    dialog->open();
}

void showOpenFileDialog(QWidget* window, const std::string& title,
                        const std::vector<std::string>& extensions,
                        std::function<void(FileChoice)> done) {
    QFileDialog* dialog = fileDialog(window, title);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    QStringList suffixes;
    for (const std::string& extension : extensions) {
        suffixes << utf8(extension);
    }
    const QString named = nameFilterFor(extensions);
    dialog->setNameFilters({named, QStringLiteral("All Files (*)")});
    auto* filter = new ExactSuffixFilter(suffixes, dialog);
    QObject::connect(dialog, &QFileDialog::filterSelected, filter,
                     [filter, named, suffixes](const QString& chosen) {
                         filter->setExtensions(chosen == named ? suffixes : QStringList());
                     });
    dialog->setProxyModel(filter);
    deliverChoice(window, dialog, done);
    dialog->open();
}

void showAboutDialog(QWidget* window, const AboutBox& about) {
    auto* box = new QMessageBox(window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setWindowTitle(QStringLiteral("About ") + utf8(about.name));
    box->setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    box->setText(QStringLiteral("<b>%1</b>").arg(utf8(about.name).toHtmlEscaped()));
    box->setInformativeText(QStringLiteral("Version %1<br>%2<br>%3")
                                .arg(utf8(about.version).toHtmlEscaped(),
                                     utf8(about.description).toHtmlEscaped(),
                                     utf8(about.copyright).toHtmlEscaped()));
    box->setStandardButtons(QMessageBox::Ok);
    box->open();
}

void showNoteDialog(QWidget* window, const std::string& message, const std::string& details) {
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Kestrune"), utf8(message),
                                QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setInformativeText(utf8(details));
    box->setTextInteractionFlags(kCopyableText);
    box->open();
}

bool showFileErrorDialog(QWidget* window, const std::string& message) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Kestrune"), utf8(message),
                    QMessageBox::NoButton, window);
    box.setTextInteractionFlags(kCopyableText);
    QPushButton* stop = box.addButton(QStringLiteral("Stop"), QMessageBox::DestructiveRole);
    QPushButton* cont = box.addButton(QStringLiteral("Continue"), QMessageBox::AcceptRole);
    box.setDefaultButton(cont);
    // The core waits for the answer before it goes on with the file.
    box.exec();
    return box.clickedButton() == stop;
}

} // namespace kestrune
