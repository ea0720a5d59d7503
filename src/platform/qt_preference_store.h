#pragma once
// The settings kept with QSettings: the user's config folder, the
// application's organisation and name, the native (INI) format.

#include "model/preference_store.h"

#include <QSettings>

namespace kestrune {

class QtPreferenceStore final : public PreferenceStore {
public:
    QtPreferenceStore() = default;
    std::optional<StoredValue> value(const std::string& key) override;
    void setInteger(const std::string& key, std::int32_t value) override;
    void setText(const std::string& key, const std::string& value) override;
    void sync() override;

private:
    QSettings settings_;
};

} // namespace kestrune
