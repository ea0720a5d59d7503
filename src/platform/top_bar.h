#pragma once
// The 48-pixel bar above the sheet: the row counter, the column label, the
// edit field or the model name, the row move buttons, "Add New Model",
// "Quit" and the Send button. Every control is made once and only updated,
// shown or hidden after that.

#include "sheet/tool_area.h"

#include <QWidget>

#include <string>

class QLabel;
class QPushButton;
class QToolButton;

namespace kestrune {

class AppState;
class EditField;

class TopBar final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 48;

    TopBar(AppState& app, QWidget* parent = nullptr);

    // Mirrors the controls as the last redraw left them.
    void apply(const ToolAreaView& view);

    EditField* editField() const { return edit_; }
    QLabel* modelName() const { return modelName_; }
    QLabel* rowCounter() const { return rowCounter_; }
    QLabel* columnLabel() const { return columnLabel_; }
    QPushButton* sendButton() const { return send_; }
    QPushButton* addNewModelButton() const { return addNewModel_; }
    QPushButton* quitButton() const { return quit_; }
    QToolButton* moveUpButton() const { return moveUp_; }
    QToolButton* moveDownButton() const { return moveDown_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Shows what is wrong with the edit field's text; empty: nothing.
    void showEditNotice(const std::string& notice);
    QLabel* picture(const char* fileName, const QRect& rect);
    QLabel* text(const QString& text, const QRect& rect, bool onBlue);
    QLabel* place(QLabel* label, const QRect& rect, bool onBlue);
    QPushButton* button(const QString& title, const QRect& rect);
    QToolButton* arrowButton(const char* fileName, const QString& help, const QRect& rect);

    AppState& app_;
    QLabel* titleBack_ = nullptr;
    QLabel* modelName_ = nullptr;
    QLabel* rowCounter_ = nullptr;
    QLabel* columnLabel_ = nullptr;
    std::string editNotice_; // what the field's tooltip says of its text
    EditField* edit_ = nullptr;
    QToolButton* moveUp_ = nullptr;
    QToolButton* moveDown_ = nullptr;
    QPushButton* addNewModel_ = nullptr;
    QPushButton* quit_ = nullptr;
    QPushButton* send_ = nullptr;
};

} // namespace kestrune
