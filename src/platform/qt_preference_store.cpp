#include "platform/qt_preference_store.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <cstdio>

namespace kestrune {

QtPreferenceStore::QtPreferenceStore() {
    // Where QSettings keeps a user's settings on this desktop.
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QLatin1Char('/') + QCoreApplication::organizationName() +
                         QLatin1Char('/') + QCoreApplication::applicationName() +
                         QStringLiteral(".conf");
    const QFileInfo info(file);
    if (info.exists() && !info.isFile()) {
        std::fprintf(stderr,
                     "kestrune: %s is not a regular file; the settings are not read or kept\n",
                     QFile::encodeName(file).constData());
        return;
    }
    settings_ = std::make_unique<QSettings>();
}

std::optional<StoredValue> QtPreferenceStore::value(const std::string& key) {
    if (!settings_) {
        return std::nullopt;
    }
    const QVariant stored = settings_->value(QString::fromStdString(key));
    switch (stored.typeId()) {
    case QMetaType::UnknownType:
        return std::nullopt;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return StoredValue(stored.toLongLong());
    case QMetaType::QStringList:
        // An INI value written by hand without quotes: its commas split it.
        return StoredValue(stored.toStringList().join(QLatin1Char(',')).toStdString());
    default:
        if (stored.canConvert<QString>()) {
            return StoredValue(stored.toString().toStdString());
        }
        return std::nullopt;
    }
}

void QtPreferenceStore::setInteger(const std::string& key, std::int32_t value) {
    if (settings_) {
        settings_->setValue(QString::fromStdString(key), value);
    }
}

void QtPreferenceStore::setText(const std::string& key, const std::string& value) {
    if (settings_) {
        settings_->setValue(QString::fromStdString(key), QString::fromStdString(value));
    }
}

void QtPreferenceStore::sync() {
    if (settings_) {
        settings_->sync();
    }
}

} // namespace kestrune
