#include "platform/top_bar.h"

#include "application/commands.h"
#include "application/lifecycle.h"
#include "exchange/sheet_context_menu.h"
#include "platform/edit_field.h"
#include "platform/images.h"
#include "platform/painter_canvas.h"
#include "sheet/cell_text.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_labels.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QToolTip>

namespace kestrune {
namespace {

// Rectangles are left, top, right, bottom in content pixels.
QRect ltrb(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

// The pale blue behind the row counter and the model name.
const QColor kDisplayBlue = QColor::fromRgbF(0.7725f, 0.8706f, 1.0f);

// "Lucida Grande" at 13 points, a pixel smaller so that it fits the
// 16-pixel fields.
QFont controlFont() {
    return PainterCanvas::fontFor(kControlFont, kControlFontSize);
}

// The row counter draws its text through the core, which narrows a count too
// long for the field instead of letting it be cut off at both ends.
class RowCounterLabel final : public QLabel {
public:
    explicit RowCounterLabel(QWidget* parent) : QLabel(parent) {}

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        PainterCanvas canvas(painter);
        DrawRowCounter(canvas, text().toStdString());
    }
};

const QString kEditFieldStyle =
    QStringLiteral("QLineEdit { border: 1px solid #7f8a99; padding: 0px; background: white; }");
const QString kRefusedEditFieldStyle =
    QStringLiteral("QLineEdit { border: 1px solid #d0021b; padding: 0px; background: white; }");

QString utf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TopBar::TopBar(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
    setFont(controlFont());
    setFixedSize(745, kHeight);

    text(QStringLiteral("No."), ltrb(7, 17, 31, 33), false);
    picture("NumberBuleBack.png", ltrb(35, 14, 98, 35));
    rowCounter_ = place(new RowCounterLabel(this), ltrb(37, 17, 96, 33), true);
    columnLabel_ = text(QString(), ltrb(105, 17, 201, 33), false);
    columnLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    titleBack_ = picture("TitleBuleBack.png", ltrb(210, 14, 345, 36));
    modelName_ = text(QString(), ltrb(208, 17, 347, 33), true);
    edit_ = new EditField(this);
    edit_->setGeometry(ltrb(208, 17, 347, 33));
    edit_->setFrame(false);
    edit_->setStyleSheet(kEditFieldStyle);
    edit_->setContextClickHandler([this](QPoint at) {
        const QPoint content = edit_->mapTo(this, at);
        SheetContextClick(app_, content.x(), content.y());
    });
    edit_->setSheetKeyHandler([this](const SheetKeyPress& press) {
        return SheetKeyCommand(app_, press.charCode, press.modifiers);
    });

    moveUp_ = arrowButton("UpArrow.png", QStringLiteral(" Moved to Upper Selected Model"),
                          ltrb(362, 11, 387, 37));
    moveDown_ = arrowButton("DownArrow.png", QStringLiteral(" Moved to Lower Selected Model"),
                            ltrb(399, 11, 424, 37));
    addNewModel_ = button(QStringLiteral("Add New Model"), ltrb(439, 14, 560, 34));
    quit_ = button(QStringLiteral("Quit"), ltrb(575, 14, 643, 34));
    send_ = button(QStringLiteral("Send"), ltrb(658, 14, 728, 34));

    connect(moveUp_, &QToolButton::clicked, this, [this] { MoveUpCommand(app_); });
    connect(moveDown_, &QToolButton::clicked, this, [this] { MoveDownCommand(app_); });
    connect(addNewModel_, &QPushButton::clicked, this, [this] { AddNewModelCommand(app_); });
    connect(quit_, &QPushButton::clicked, this, [this] { QuitSequence(app_); });
    connect(send_, &QPushButton::clicked, this, [this] { SendButtonCommand(app_); });
}

QLabel* TopBar::picture(const char* fileName, const QRect& rect) {
    auto* label = new QLabel(this);
    label->setGeometry(rect);
    label->setPixmap(imageNamed(QString::fromLatin1(fileName)));
    label->setScaledContents(true);
    return label;
}

QLabel* TopBar::text(const QString& text, const QRect& rect, bool onBlue) {
    return place(new QLabel(text, this), rect, onBlue);
}

QLabel* TopBar::place(QLabel* label, const QRect& rect, bool onBlue) {
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignCenter);
    if (onBlue) {
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, kDisplayBlue);
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    return label;
}

QPushButton* TopBar::button(const QString& title, const QRect& rect) {
    auto* pushButton = new QPushButton(title, this);
    pushButton->setGeometry(rect);
    // The keyboard stays with the edit field or the sheet.
    pushButton->setFocusPolicy(Qt::NoFocus);
    pushButton->setAutoDefault(false);
    return pushButton;
}

QToolButton* TopBar::arrowButton(const char* fileName, const QString& help, const QRect& rect) {
    auto* toolButton = new QToolButton(this);
    toolButton->setGeometry(rect);
    toolButton->setIcon(QIcon(imageNamed(QString::fromLatin1(fileName))));
    toolButton->setIconSize(QSize(16, 16));
    toolButton->setToolTip(help);
    toolButton->setFocusPolicy(Qt::NoFocus);
    return toolButton;
}

void TopBar::apply(const ToolAreaView& view) {
    if (view.editFieldShown) {
        edit_->setShownText(view.editText);
        edit_->setToolTip(utf8(view.editHelp));
    }
    showEditNotice(view.editFieldShown ? view.notice : std::string());
    edit_->setVisible(view.editFieldShown);
    if (view.editFieldShown) {
        edit_->setFocus(Qt::OtherFocusReason);
    }

    titleBack_->setVisible(view.modelNameShown);
    modelName_->setVisible(view.modelNameShown);
    if (view.notice.empty()) {
        modelName_->setText(QString::fromUtf8(view.modelName.data(),
                                              static_cast<qsizetype>(view.modelName.length())));
        modelName_->setToolTip(QString());
    } else {
        // A notice too long for the field begins it and ends in an ellipsis;
        // its help tag holds the whole.
        const QString notice = utf8(view.notice);
        modelName_->setText(QFontMetrics(modelName_->font())
                                .elidedText(notice, Qt::ElideRight, modelName_->width() - 4));
        modelName_->setToolTip(notice);
    }

    rowCounter_->setText(utf8(view.rowCounter));
    columnLabel_->setText(utf8(view.columnLabel));
    columnLabel_->setToolTip(utf8(view.columnHelp));

    send_->setVisible(view.sendShown);
    send_->setText(utf8(view.sendTitle));
    send_->setToolTip(utf8(view.sendHelp));
    send_->setDefault(view.sendDefault);
    send_->setEnabled(view.sendEnabled);

    addNewModel_->setEnabled(view.addNewModelEnabled);
    moveUp_->setEnabled(view.moveUpEnabled);
    moveDown_->setEnabled(view.moveDownEnabled);
}

void TopBar::showEditNotice(const std::string& notice) {
    if (notice == editNotice_) {
        return;
    }
    editNotice_ = notice;
    // What is wrong with the field's text: a red edge, and the words below
    // it where a tooltip shows, and for a screen reader.
    edit_->setStyleSheet(notice.empty() ? kEditFieldStyle : kRefusedEditFieldStyle);
    edit_->setAccessibleDescription(utf8(notice));
    if (notice.empty()) {
        QToolTip::hideText();
    } else {
        edit_->setToolTip(utf8(notice));
        QToolTip::showText(edit_->mapToGlobal(QPoint(0, edit_->height())), utf8(notice), edit_);
    }
}

void TopBar::paintEvent(QPaintEvent* /*event*/) {
    // The placard behind the controls: a light face with a darker edge below.
    QPainter painter(this);
    QLinearGradient face(0, 0, 0, kHeight);
    face.setColorAt(0.0, QColor(246, 246, 246));
    face.setColorAt(1.0, QColor(222, 222, 222));
    painter.fillRect(rect(), face);
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(0, kHeight - 1, width(), kHeight - 1);
}

} // namespace kestrune
