#pragma once
// The find bar: it lies over the sheet's column titles while it is shown,
// so no row of the sheet is hidden. Its field's text goes to the core as it
// is typed; Return finds the next match and Escape closes the bar.

#include "ports/sheet_views.h"

#include <QWidget>

class QLabel;
class QLineEdit;

namespace kestrune {

class AppState;

class FindBar final : public QWidget {
    Q_OBJECT
public:
    FindBar(AppState& app, QWidget* parent);

    void apply(const FindBarView& view);
    // The field holds the keyboard.
    bool holdsFocus() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppState& app_;
    QLineEdit* field_ = nullptr;
    QLabel* notice_ = nullptr;
    std::uint32_t focusRequest_ = 0;
};

} // namespace kestrune
