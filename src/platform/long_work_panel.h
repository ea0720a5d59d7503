#pragma once
// The small window over the sheet that shows how far long work has come,
// with a Cancel button when the work may be stopped. It never takes the
// keyboard. While it exists, it keeps every other key, click and close from
// the program's windows; Escape cancels the work when that is allowed.

#include "ports/sheet_views.h"
#include "runtime/work_progress.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kestrune {

class LongWorkPanel final : public QWidget {
    Q_OBJECT
public:
    // Work shorter than this shows nothing.
    static constexpr int kShowAfterMs = 500;

    // Placed over the top of the sheet window's content, at contentTopLeft
    // on the screen, contentWidth wide.
    LongWorkPanel(QWidget* sheetWindow, QPoint contentTopLeft, int contentWidth,
                  const LongWorkView& view, WorkProgress& progress);
    ~LongWorkPanel() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();
    void cancel();
    bool isMine(QObject* object) const;

    WorkProgress& progress_;
    bool cancellable_;
    QLabel* text_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QElapsedTimer since_;
    QTimer ticks_;
};

} // namespace kestrune
