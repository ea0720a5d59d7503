#include "platform/qt_preference_store.h"

#include <QStringList>

namespace kestrune {

std::optional<StoredValue> QtPreferenceStore::value(const std::string& key) {
    const QVariant stored = settings_.value(QString::fromStdString(key));
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
    settings_.setValue(QString::fromStdString(key), value);
}

void QtPreferenceStore::setText(const std::string& key, const std::string& value) {
    settings_.setValue(QString::fromStdString(key), QString::fromStdString(value));
}

void QtPreferenceStore::sync() {
    settings_.sync();
}

} // namespace kestrune
