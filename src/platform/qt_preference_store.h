#pragma once
// The settings kept with QSettings: the user's config folder, the
// application's organisation and name, the native (INI) format.

#include "ports/preference_store.h"

#include <QSettings>
#include <memory>

namespace kestrune {

class QtPreferenceStore final : public PreferenceStore {
public:
    // Settings that are not a regular file (a pipe would hang the start, a
    // folder cannot be read) are left alone: the defaults count, and
    // nothing is written there at the end.
    QtPreferenceStore();
    std::optional<StoredValue> value(const std::string& key) override;
    void setInteger(const std::string& key, std::int32_t value) override;
    void setText(const std::string& key, const std::string& value) override;
    void sync() override;

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace kestrune
