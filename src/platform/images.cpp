#include "platform/images.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kestrune {

QString imagesFolder() {
    // Both the installed program and the build tree keep the folder at the
    // same place relative to the executable's folder.
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        exeDir.filePath(QStringLiteral(KESTRUNE_IMAGES_FROM_BIN)),
        exeDir.filePath(QStringLiteral("Images")),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isDir()) {
            return QDir::cleanPath(candidate);
        }
    }
    return {};
}

QPixmap imageNamed(const QString& fileName) {
    const QString folder = imagesFolder();
    if (folder.isEmpty()) {
        return {};
    }
    return QPixmap(QDir(folder).filePath(fileName));
}

} // namespace kestrune
