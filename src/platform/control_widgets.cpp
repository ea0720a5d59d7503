#include "platform/control_widgets.h"

#include "platform/painter_canvas.h"
#include "runtime/str255.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <set>

namespace kestrune {
namespace {

using Kind = ControlKind;

// The edit fields' frames lie outside their rectangles, as the original
// windows drew them.
constexpr int kFieldFrame = 3;

// The font the windows were laid out for; a free stand-in takes its place.
constexpr const char* kLaidOutFont = "Lucida Grande";
constexpr double kLaidOutSize = 13.0;

QRect rectOf(const ControlRect& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

QString utf8(const std::string& text) {
    return QString::fromStdString(text);
}

bool hasOwnFont(const ControlView& c) {
    return !c.fontName.empty() || c.fontSize > 0.0 || c.bold;
}

// "Lucida Grande" becomes its free stand-in a pixel smaller: the stand-in
// runs wider, and the texts must fit the rectangles laid out for the
// original. Any other font is the desktop's, by name and pixel size.
QFont fontOf(const ControlView& c, QFont font) {
    if (c.fontName == kLaidOutFont) {
        font = PainterCanvas::fontFor(1, (c.fontSize > 0.0 ? c.fontSize : kLaidOutSize) - 1.0);
    } else {
        if (!c.fontName.empty()) {
            font.setFamily(utf8(c.fontName));
        }
        if (c.fontSize > 0.0) {
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(c.fontSize))));
        }
    }
    if (c.bold) {
        font.setBold(true);
    }
    return font;
}

// A centred text wider than its box is drawn narrower, then smaller, never
// cut: the desktop's stand-in fonts run wider than the ones the window was
// laid out for.
QFont fitted(QFont font, const QString& text, int width) {
    for (const int stretch : {QFont::Unstretched, QFont::SemiCondensed, QFont::Condensed}) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) {
            return font;
        }
    }
    while (font.pixelSize() > 8 && QFontMetrics(font).horizontalAdvance(text) > width) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

bool fitsItsBox(const ControlView& c) {
    return c.kind == Kind::Label && c.centred;
}

Qt::Alignment alignmentOf(const ControlView& c) {
    if (c.centred) {
        return Qt::AlignCenter;
    }
    return (c.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

void setFontOf(QWidget* w, const ControlView& c, const QFont& desktopFont) {
    if (!hasOwnFont(c) && !fitsItsBox(c)) {
        return;
    }
    QFont font = fontOf(c, desktopFont);
    if (fitsItsBox(c)) {
        font = fitted(font, utf8(c.text), c.rect.right - c.rect.left);
    }
    if (w->font() != font) {
        w->setFont(font);
    }
}

// A field's frame goes around its rectangle; a parameter's name wider in
// the stand-in font grows away from its field.
void place(QWidget* w, const ControlView& c) {
    QRect r = rectOf(c.rect);
    if (c.kind == Kind::Input || c.kind == Kind::Result) {
        r.adjust(-kFieldFrame, -kFieldFrame, kFieldFrame, kFieldFrame);
    } else if (auto* label = qobject_cast<QLabel*>(w);
               label != nullptr && c.kind == Kind::Label && !c.centred) {
        const int extra = label->sizeHint().width() - r.width();
        if (extra > 0) {
            if (c.alignRight) {
                r.setLeft(r.left() - extra);
            } else {
                r.setRight(r.right() + extra);
            }
        }
    }
    if (w->geometry() != r) {
        w->setGeometry(r);
    }
}

void setColourOf(QLabel* label, const ControlView& c) {
    if (c.color >= 0) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(QRgb(c.color)));
        label->setPalette(palette);
    } else if (label->testAttribute(Qt::WA_SetPalette)) {
        label->setPalette(QPalette()); // the desktop's own again
    }
}

template <typename W> void setText(W* w, const QString& text) {
    if (w->text() != text) {
        w->setText(text);
    }
}

} // namespace

ControlWidgets::ControlWidgets(QWidget& window, Hit hit, bool onlyFieldsTakeFocus)
    : window_(window), hit_(std::move(hit)), onlyFieldsTakeFocus_(onlyFieldsTakeFocus) {}

void ControlWidgets::apply(const std::vector<ControlView>& controls) {
    removeStale(controls);
    std::set<std::int32_t> newTabs;
    for (const ControlView& c : controls) {
        if (c.kind == Kind::TabControl && !tabs_.contains(c.number)) {
            newTabs.insert(c.number);
        }
        create(c);
    }
    for (const std::int32_t number : newTabs) {
        if (auto tabs = tabs_.find(number); tabs != tabs_.end()) {
            centreTabs(tabs->second);
        }
    }
    applying_ = true;
    for (const ControlView& c : controls) {
        if (auto found = shown_.find(c.number); found != shown_.end() && found->second.widget) {
            update(c, found->second);
        }
    }
    applying_ = false;
}

void ControlWidgets::removeStale(const std::vector<ControlView>& controls) {
    std::map<std::int32_t, ControlKind> described;
    for (const ControlView& c : controls) {
        described.emplace(c.number, c.kind);
    }
    for (auto it = shown_.begin(); it != shown_.end();) {
        const auto d = described.find(it->first);
        if (d != described.end() && d->second == it->second.kind && it->second.widget) {
            ++it;
            continue;
        }
        if (QWidget* w = it->second.widget) {
            w->hide();
            w->deleteLater();
        }
        radioGroups_.erase(it->first);
        tabs_.erase(it->first);
        it = shown_.erase(it);
    }
}

void ControlWidgets::create(const ControlView& c) {
    if (shown_.contains(c.number)) {
        return;
    }
    QWidget* parent = c.parent != 0 ? widget(c.parent) : nullptr;
    if (parent == nullptr) {
        parent = &window_;
    }
    if (auto tabs = tabs_.find(c.parent); c.kind == Kind::TabPane && tabs != tabs_.end()) {
        addPane(c, tabs->second);
    }
    QWidget* w = make(c, parent);
    if (onlyFieldsTakeFocus_ && c.kind != Kind::Input) {
        w->setFocusPolicy(Qt::NoFocus);
    }
    shown_[c.number] = Shown{c.kind, w, w->font()};
    place(w, c); // a tab control's tabs are centred on it before it is brought up to date
}

QWidget* ControlWidgets::make(const ControlView& c, QWidget* parent) {
    const std::int32_t number = c.number;
    switch (c.kind) {
    case Kind::Title:
    case Kind::Label:
        return new QLabel(parent);
    case Kind::Separator: {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    }
    case Kind::GroupBox:
        return new QGroupBox(parent);
    case Kind::Input:
    case Kind::Result: {
        auto* field = new QLineEdit(parent);
        field->setMaxLength(static_cast<int>(Str255::kMaxLength));
        field->setTextMargins(0, 0, 0, 0);
        field->setReadOnly(c.kind == Kind::Result);
        return field;
    }
    case Kind::PushButton:
    case Kind::DefaultButton: {
        auto* button = new QPushButton(parent);
        // Return and Enter act on the default button the core names, not
        // on whichever button has the focus.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, number] { report(number, 0); });
        return button;
    }
    case Kind::BevelToggle: {
        auto* toggle = new QToolButton(parent);
        toggle->setCheckable(true);
        toggle->setToolButtonStyle(Qt::ToolButtonTextOnly);
        connect(toggle, &QToolButton::clicked, this, [this, number] { report(number, 0); });
        return toggle;
    }
    case Kind::CheckBox: {
        auto* check = new QCheckBox(parent);
        connect(check, &QCheckBox::clicked, this,
                [this, number](bool on) { report(number, on ? 1 : 0); });
        return check;
    }
    case Kind::RadioGroup: {
        auto* area = new QWidget(parent);
        auto* group = new QButtonGroup(area);
        group->setExclusive(true);
        radioGroups_[number] = group;
        connect(group, &QButtonGroup::idToggled, this, [this, number](int id, bool checked) {
            if (checked && !applying_) {
                report(number, id);
            }
        });
        return area;
    }
    case Kind::RadioButton: {
        auto* radio = new QRadioButton(parent);
        if (auto group = radioGroups_.find(c.parent); group != radioGroups_.end()) {
            group->second->addButton(radio, c.value);
        }
        return radio;
    }
    case Kind::TabControl:
        return makeTabControl(c, parent);
    case Kind::Icon: {
        auto* icon = new QLabel(parent);
        icon->setPixmap(QApplication::windowIcon().pixmap(rectOf(c.rect).size()));
        return icon;
    }
    case Kind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(true);
        return bar;
    }
    case Kind::TabPane:
        break;
    }
    return new QWidget(parent);
}

QWidget* ControlWidgets::makeTabControl(const ControlView& c, QWidget* parent) {
    auto* box = new QWidget(parent);
    Tabs& tabs = tabs_[c.number];
    tabs.body = new QFrame(box);
    tabs.body->setFrameShape(QFrame::StyledPanel);
    tabs.bar = new QTabBar(box);
    tabs.bar->setDrawBase(false);
    tabs.bar->setExpanding(false);
    tabs.bar->setFocusPolicy(Qt::NoFocus);
    const std::int32_t number = c.number;
    connect(tabs.bar, &QTabBar::currentChanged, this, [this, number](int index) {
        if (!applying_ && index >= 0) {
            report(number, index + 1);
        }
    });
    return box;
}

void ControlWidgets::addPane(const ControlView& pane, Tabs& tabs) {
    // The first tab is selected as it comes; that is no choice of the user.
    applying_ = true;
    tabs.bar->addTab(utf8(pane.text));
    applying_ = false;
    tabs.panes.push_back(pane.number);
    tabs.bar->setFont(fontOf(pane, tabs.bar->font()));
}

// The tabs sit centred on the top edge of the body, as small tabs do.
void ControlWidgets::centreTabs(const Tabs& tabs) {
    QWidget* box = tabs.bar->parentWidget();
    tabs.bar->adjustSize();
    tabs.bar->move((box->width() - tabs.bar->width()) / 2, 0);
    const int top = tabs.bar->height() / 2;
    tabs.body->setGeometry(0, top, box->width(), box->height() - top);
    tabs.body->lower();
    tabs.bar->raise();
}

void ControlWidgets::update(const ControlView& c, const Shown& shown) {
    QWidget* w = shown.widget;
    const QString text = utf8(c.text);
    // An icon is a picture: it is never greyed.
    w->setEnabled(c.enabled || c.kind == Kind::Icon);
    w->setToolTip(utf8(c.help));
    setFontOf(w, c, shown.desktopFont);
    switch (c.kind) {
    case Kind::Title:
        window_.setWindowTitle(text);
        [[fallthrough]];
    case Kind::Label: {
        auto* label = static_cast<QLabel*>(w);
        label->setAlignment(alignmentOf(c));
        setText(label, text);
        setColourOf(label, c);
        break;
    }
    case Kind::GroupBox:
        if (auto* box = static_cast<QGroupBox*>(w); box->title() != text) {
            box->setTitle(text);
        }
        break;
    case Kind::Input:
    case Kind::Result: {
        auto* field = static_cast<QLineEdit*>(w);
        field->setAlignment(alignmentOf(c));
        setText(field, text);
        break;
    }
    case Kind::PushButton:
    case Kind::DefaultButton: {
        auto* button = static_cast<QPushButton*>(w);
        setText(button, text);
        button->setDefault(c.kind == Kind::DefaultButton);
        break;
    }
    case Kind::BevelToggle:
    case Kind::RadioButton:
    case Kind::CheckBox: {
        auto* button = static_cast<QAbstractButton*>(w);
        setText(button, text);
        button->setChecked(c.checked);
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
        if (auto tabs = tabs_.find(c.number); tabs != tabs_.end()) {
            QTabBar* bar = tabs->second.bar;
            bar->setToolTip(utf8(c.help));
            bar->setEnabled(c.enabled);
            if (c.value >= 1 && c.value <= bar->count()) {
                bar->setCurrentIndex(c.value - 1);
            }
        }
        break;
    case Kind::TabPane:
        if (auto tabs = tabs_.find(c.parent); tabs != tabs_.end()) {
            const std::vector<std::int32_t>& panes = tabs->second.panes;
            const auto index =
                static_cast<int>(std::find(panes.begin(), panes.end(), c.number) - panes.begin());
            if (index < tabs->second.bar->count() && tabs->second.bar->tabText(index) != text) {
                tabs->second.bar->setTabText(index, text);
            }
        }
        break;
    case Kind::ProgressBar: {
        auto* bar = static_cast<QProgressBar*>(w);
        if (c.value < 0) {
            bar->setRange(0, 0); // the whole is not known: a busy bar
        } else {
            bar->setRange(0, 1000);
            bar->setValue(c.value);
        }
        bar->setFormat(text);
        break;
    }
    case Kind::Separator:
    case Kind::Icon:
        break;
    }
    place(w, c);
    w->setVisible(c.visible);
}

QWidget* ControlWidgets::widget(std::int32_t number) const {
    const auto found = shown_.find(number);
    return found == shown_.end() ? nullptr : found->second.widget.data();
}

QLineEdit* ControlWidgets::field(std::int32_t number) const {
    return qobject_cast<QLineEdit*>(widget(number));
}

std::int32_t ControlWidgets::numberOf(const QWidget* widget) const {
    for (const auto& [number, shown] : shown_) {
        if (shown.widget == widget) {
            return number;
        }
    }
    return 0;
}

void ControlWidgets::report(std::int32_t control, std::int32_t value) {
    if (hit_) {
        hit_(control, value);
    }
}

} // namespace kestrune
