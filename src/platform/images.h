#pragma once
// The program's "Images" folder: pictures, help documents and sounds that
// ship beside the executable (in the build tree and when installed).

#include <QPixmap>
#include <QString>

namespace kestrune {

// The folder's path; empty when it cannot be found.
QString imagesFolder();

// A picture from the folder; a null pixmap when it is missing.
QPixmap imageNamed(const QString& fileName);

} // namespace kestrune
