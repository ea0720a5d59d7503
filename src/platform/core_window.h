#pragma once
// A window of its own whose closing the core decides: the close box and
// Escape are passed on to it as a request, and the window goes only when
// the core closes it.

#include <QDialog>

namespace kestrune {

class CoreWindow : public QDialog {
    Q_OBJECT
public:
    explicit CoreWindow(QWidget* parent);
    // Closes without telling the core, which asked for it.
    void closeFromCore();

protected:
    // The close box or Escape, while the core has not closed the window.
    virtual void closeRequested() = 0;
    // True once the core has closed the window: its controls report nothing more.
    bool closing() const { return closing_; }

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool closing_ = false;
};

} // namespace kestrune
