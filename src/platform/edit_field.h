#pragma once
// The sheet's one-line edit field. Its text is UTF-8 to the core; the
// sheet keys (arrows, Return, Enter, Tab, Page Up and
// Down, Ctrl+Home and Ctrl+End) pass through it to the sheet, menu
// shortcuts stay with the menu bar, and Ctrl+F / Ctrl+B move the cursor one
// character forward and back.

#include "platform/sheet_keys.h"
#include "runtime/str255.h"

#include <QLineEdit>
#include <functional>

namespace kestrune {

class EditField final : public QLineEdit {
    Q_OBJECT
public:
    explicit EditField(QWidget* parent = nullptr);

    // Called with each sheet key typed into the field; a key the handler
    // does not take (false) acts in the field (Delete in a cell, Home, End).
    void setSheetKeyHandler(std::function<bool(const SheetKeyPress&)> handler) {
        onSheetKey_ = std::move(handler);
    }

    // Shows a text. An unchanged text keeps the cursor and the selection;
    // a new one arrives wholly selected, ready to be typed over.
    void setShownText(const Str255& text);
    Str255 shownText() const;
    // Replaces the text and selects all of it, changed or not.
    void replaceText(const Str255& text);

    // Called with contextual clicks, in the field's own coordinates.
    void setContextClickHandler(std::function<void(QPoint)> handler) {
        onContextClick_ = std::move(handler);
    }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::function<bool(const SheetKeyPress&)> onSheetKey_;
    std::function<void(QPoint)> onContextClick_;
};

} // namespace kestrune
