#include "platform/calculator_dialog.h"

#include "calculators/calculator_layouts.h"
#include "model/menu_model.h"
#include "platform/painter_canvas.h"
#include "platform/sheet_keys.h"
#include "runtime/mac_roman.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace kestrune {
namespace {

using Kind = ControlKind;

// The edit fields' frames lie outside their rectangles, as the original
// windows drew them.
constexpr int kFieldFrame = 3;

QRect rectOf(const ControlRect& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

QString utf8(const std::string& text) {
    return QString::fromStdString(text);
}

// "Lucida Grande" becomes its free stand-in a pixel smaller: the stand-in
// runs wider, and the texts must fit the rectangles laid out for the original.
QFont fontOf(const ControlView& c) {
    const double size = c.fontSize > 0.0 ? c.fontSize : 13.0;
    if (c.fontName.empty() || c.fontName == "Lucida Grande") {
        return PainterCanvas::fontFor(1, size - 1.0);
    }
    QFont font(utf8(c.fontName));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    return font;
}

Qt::Alignment alignmentOf(const ControlView& c) {
    if (c.centred) {
        return Qt::AlignCenter;
    }
    return (c.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock;
}

bool exactlyAlt(const QKeyEvent& event) {
    return (event.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

KeyModifiers modifiersOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    KeyModifiers m;
    m.option = mods.testFlag(Qt::AltModifier);
    m.shift = mods.testFlag(Qt::ShiftModifier);
    m.command = mods.testFlag(Qt::ControlModifier);
    m.control = mods.testFlag(Qt::MetaModifier);
    return m;
}

// The one-byte character code the windows are written for.
std::int32_t charCodeOf(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Return:
        return 13;
    case Qt::Key_Enter:
        return 3;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Delete:
        return 127;
    case Qt::Key_Left:
        return 28;
    case Qt::Key_Right:
        return 29;
    case Qt::Key_Up:
        return 30;
    case Qt::Key_Down:
        return 31;
    default:
        break;
    }
    const std::string macRoman = utf8ToMacRoman(event.text().left(1).toStdString());
    return macRoman.empty() ? 0 : static_cast<unsigned char>(macRoman.front());
}

} // namespace

CalculatorDialog::CalculatorDialog(const CalculatorView& view, CalculatorDialogHandlers handlers,
                                   QWidget* parent)
    : QDialog(parent), handlers_(std::move(handlers)) {
    setWindowModality(Qt::WindowModal);
    setFixedSize(view.width, view.height);
    setFont(PainterCanvas::fontFor(1, 12.0));
    for (const ControlView& c : view.controls) {
        auto parentWidget = widgets_.find(c.parent);
        QWidget* holder =
            c.parent != 0 && parentWidget != widgets_.end() ? parentWidget->second : this;
        if (c.kind == Kind::TabPane && c.parent == tabControl_) {
            addPane(c, holder);
            continue;
        }
        if (QWidget* w = create(c, holder)) {
            widgets_[c.number] = w;
        }
    }
    finishTabControl();
    apply(view);
}

QWidget* CalculatorDialog::create(const ControlView& c, QWidget* parent) {
    QWidget* w = nullptr;
    switch (c.kind) {
    case Kind::Title:
    case Kind::Label:
        w = new QLabel(parent);
        break;
    case Kind::Separator: {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        w = line;
        break;
    }
    case Kind::GroupBox:
        w = new QGroupBox(parent);
        break;
    case Kind::Input:
    case Kind::Result:
        w = createField(c, parent);
        break;
    case Kind::PushButton:
    case Kind::DefaultButton: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        button->setDefault(c.kind == Kind::DefaultButton);
        const std::int32_t number = c.number;
        connect(button, &QPushButton::clicked, this, [this, number] { hit(number, 0); });
        w = button;
        break;
    }
    case Kind::BevelToggle: {
        auto* toggle = new QToolButton(parent);
        toggle->setCheckable(true);
        toggle->setToolButtonStyle(Qt::ToolButtonTextOnly);
        const std::int32_t number = c.number;
        connect(toggle, &QToolButton::clicked, this, [this, number] { hit(number, 0); });
        w = toggle;
        break;
    }
    case Kind::RadioGroup: {
        w = new QWidget(parent);
        auto* group = new QButtonGroup(this);
        group->setExclusive(true);
        radioGroups_[c.number] = group;
        const std::int32_t number = c.number;
        connect(group, &QButtonGroup::idToggled, this, [this, number](int id, bool checked) {
            if (checked && !applying_) {
                hit(number, id);
            }
        });
        break;
    }
    case Kind::CheckBox: {
        auto* check = new QCheckBox(parent);
        const std::int32_t number = c.number;
        connect(check, &QCheckBox::clicked, this,
                [this, number](bool on) { hit(number, on ? 1 : 0); });
        w = check;
        break;
    }
    case Kind::RadioButton: {
        auto* radio = new QRadioButton(parent);
        if (auto group = radioGroups_.find(c.parent); group != radioGroups_.end()) {
            group->second->addButton(radio, c.value);
        }
        w = radio;
        break;
    }
    case Kind::TabControl:
        w = createTabControl(c, parent);
        break;
    case Kind::Icon: // not in a calculator
    case Kind::ProgressBar:
        w = new QWidget(parent);
        break;
    case Kind::TabPane:
        w = new QWidget(parent);
        break;
    }
    if (w == nullptr) {
        return nullptr;
    }
    if (c.kind != Kind::Input) {
        w->setFocusPolicy(Qt::NoFocus);
    }
    w->setFont(fontOf(c));
    place(w, c);
    return w;
}

QLineEdit* CalculatorDialog::createField(const ControlView& c, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setMaxLength(static_cast<int>(Str255::kMaxLength));
    field->setTextMargins(0, 0, 0, 0);
    field->setReadOnly(c.kind == Kind::Result);
    field->installEventFilter(this);
    fields_[c.number] = field;
    return field;
}

QWidget* CalculatorDialog::createTabControl(const ControlView& c, QWidget* parent) {
    auto* box = new QWidget(parent);
    tabBody_ = new QFrame(box);
    tabBody_->setFrameShape(QFrame::StyledPanel);
    tabBar_ = new QTabBar(box);
    tabBar_->setDrawBase(false);
    tabBar_->setExpanding(false);
    tabBar_->setFocusPolicy(Qt::NoFocus);
    tabControl_ = c.number;
    connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) {
        if (!applying_ && index >= 0) {
            hit(tabControl_, index + 1);
        }
    });
    return box;
}

void CalculatorDialog::addPane(const ControlView& pane, QWidget* tabControl) {
    tabBar_->addTab(utf8(pane.text));
    tabBar_->setFont(fontOf(pane));
    auto* w = new QWidget(tabControl);
    place(w, pane);
    widgets_[pane.number] = w;
}

// The tabs sit centred on the top edge of the body, as small tabs do.
void CalculatorDialog::finishTabControl() {
    if (tabBar_ == nullptr) {
        return;
    }
    QWidget* box = tabBar_->parentWidget();
    tabBar_->adjustSize();
    tabBar_->move((box->width() - tabBar_->width()) / 2, 0);
    const int top = tabBar_->height() / 2;
    tabBody_->setGeometry(0, top, box->width(), box->height() - top);
    tabBody_->lower();
    tabBar_->raise();
}

void CalculatorDialog::place(QWidget* w, const ControlView& c) {
    QRect r = rectOf(c.rect);
    if (c.kind == Kind::Input || c.kind == Kind::Result) {
        r.adjust(-kFieldFrame, -kFieldFrame, kFieldFrame, kFieldFrame);
    } else if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && c.kind == Kind::Label) {
        // A text wider in the stand-in font grows away from its field.
        const int extra = label->sizeHint().width() - r.width();
        if (extra > 0) {
            if (c.alignRight) {
                r.setLeft(r.left() - extra);
            } else {
                r.setRight(r.right() + extra);
            }
        }
    }
    w->setGeometry(r);
}

void CalculatorDialog::apply(const CalculatorView& view) {
    applying_ = true;
    for (const ControlView& c : view.controls) {
        applyControl(c);
    }
    applying_ = false;
    if (view.focusRequest != focusRequest_) {
        focusRequest_ = view.focusRequest;
        if (auto field = fields_.find(view.focusedField); field != fields_.end()) {
            field->second->setFocus(Qt::OtherFocusReason);
            field->second->selectAll();
        }
    }
}

void CalculatorDialog::applyControl(const ControlView& c) {
    if (c.kind == Kind::TabPane) {
        if (tabBar_ != nullptr) {
            const int index = c.number - (tabControl_ + 1);
            if (index >= 0 && index < tabBar_->count() && tabBar_->tabText(index) != utf8(c.text)) {
                tabBar_->setTabText(index, utf8(c.text));
            }
        }
    }
    auto found = widgets_.find(c.number);
    if (found == widgets_.end()) {
        return;
    }
    QWidget* w = found->second;
    const QString text = utf8(c.text);
    w->setEnabled(c.enabled);
    w->setToolTip(utf8(c.help));
    switch (c.kind) {
    case Kind::Title:
        setWindowTitle(text);
        [[fallthrough]];
    case Kind::Label: {
        auto* label = static_cast<QLabel*>(w);
        label->setAlignment(alignmentOf(c));
        if (label->text() != text) {
            label->setText(text);
            place(label, c);
        }
        break;
    }
    case Kind::GroupBox:
        static_cast<QGroupBox*>(w)->setTitle(text);
        break;
    case Kind::Input:
    case Kind::Result: {
        auto* field = static_cast<QLineEdit*>(w);
        field->setAlignment(alignmentOf(c));
        if (field->text() != text) {
            field->setText(text);
        }
        break;
    }
    case Kind::PushButton:
    case Kind::DefaultButton:
    case Kind::BevelToggle:
    case Kind::RadioButton: {
        auto* button = static_cast<QAbstractButton*>(w);
        button->setText(text);
        if (button->isCheckable()) {
            button->setChecked(c.checked);
        }
        break;
    }
    case Kind::RadioGroup:
        if (auto group = radioGroups_.find(c.number); group != radioGroups_.end()) {
            if (QAbstractButton* chosen = group->second->button(c.value)) {
                chosen->setChecked(true);
            }
        }
        break;
    case Kind::TabControl:
        if (tabBar_ != nullptr) {
            tabBar_->setToolTip(utf8(c.help));
            tabBar_->setEnabled(c.enabled);
            if (c.value >= 1 && c.value <= tabBar_->count()) {
                tabBar_->setCurrentIndex(c.value - 1);
            }
        }
        break;
    case Kind::CheckBox: {
        auto* check = static_cast<QCheckBox*>(w);
        check->setText(text);
        check->setChecked(c.checked);
        break;
    }
    case Kind::Separator:
    case Kind::TabPane:
    case Kind::Icon:
    case Kind::ProgressBar:
        break;
    }
    w->setVisible(c.visible);
}

Str255 CalculatorDialog::fieldText(std::int32_t control) const {
    auto found = fields_.find(control);
    if (found == fields_.end()) {
        return {};
    }
    return Str255(utf8ToMacRoman(found->second->text().toStdString()));
}

void CalculatorDialog::setFieldText(std::int32_t control, const Str255& text) {
    auto found = fields_.find(control);
    if (found == fields_.end()) {
        return;
    }
    found->second->setText(utf8(macRomanToUtf8(text.view())));
    found->second->selectAll();
}

void CalculatorDialog::closeFromCore() {
    if (closing_) {
        return;
    }
    closing_ = true;
    hide();
    deleteLater();
}

QWidget* CalculatorDialog::controlWidget(std::int32_t number) const {
    auto found = widgets_.find(number);
    return found == widgets_.end() ? nullptr : found->second;
}

void CalculatorDialog::hit(std::int32_t control, std::int32_t value) {
    if (!closing_ && handlers_.controlHit) {
        handlers_.controlHit(control, value);
    }
}

// True when the key was taken: a menu shortcut, or a key the core consumed.
bool CalculatorDialog::routeKey(QKeyEvent& event) {
    if (closing_ || isModifierKey(event.key())) {
        return false;
    }
    if (isMenuShortcut(event)) {
        const Shortcut shortcut{static_cast<char>(event.key()),
                                event.modifiers().testFlag(Qt::ShiftModifier)};
        if (const auto item = findShortcut(shortcut); item && handlers_.menuShortcut) {
            handlers_.menuShortcut(item->menu, item->item);
        }
        return true;
    }
    return handlers_.keyDown && handlers_.keyDown(charCodeOf(event), modifiersOf(event));
}

bool CalculatorDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field == nullptr) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (isMenuShortcut(key)) {
            event->ignore(); // it arrives as a key press and goes to the menu
            return true;
        }
        if (exactlyAlt(key) && !isModifierKey(key.key())) {
            event->accept(); // no mnemonic takes the calculate shortcut
            return true;
        }
        return false;
    }
    case QEvent::KeyPress:
        if (routeKey(static_cast<QKeyEvent&>(*event))) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::FocusIn:
        if (!closing_ && handlers_.fieldFocused) {
            for (const auto& [number, f] : fields_) {
                if (f == field) {
                    handlers_.fieldFocused(number);
                }
            }
        }
        return false;
    default:
        return false;
    }
}

void CalculatorDialog::keyPressEvent(QKeyEvent* event) {
    if (routeKey(*event)) {
        event->accept();
        return;
    }
    // Not QDialog's own Return and Escape handling: the core has answered.
    QWidget::keyPressEvent(event);
}

void CalculatorDialog::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    // The window's close button cancels, through the core.
    event->ignore();
    hit(CalcCtl::kCancel, 0);
}

void CalculatorDialog::reject() {
    if (!closing_) {
        hit(CalcCtl::kCancel, 0);
    }
}

} // namespace kestrune
