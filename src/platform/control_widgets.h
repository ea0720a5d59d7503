#pragma once
// The widgets of a window the core describes control by control (a
// calculator, the Preferences window, the update window): built from the
// ControlViews, brought up to date as the description changes, and
// reporting what the user does with them by control number. Positions are
// pixels, fonts are sized in pixels and help tags become tooltips.
//
// What a control reports: a push button or a bevel toggle its number and 0;
// a check box its number and 1 or 0 as it is now ticked; a radio group its
// number and the radio button now chosen; a tab control its number and the
// tab now selected (1-based). Changes the program makes are not reported.

#include "ports/control_view.h"

#include <QFont>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class QButtonGroup;
class QFrame;
class QLineEdit;
class QTabBar;
class QWidget;

namespace kestrune {

class ControlWidgets final : public QObject {
    Q_OBJECT
public:
    using Hit = std::function<void(std::int32_t control, std::int32_t value)>;

    // Widgets are made inside window. With onlyFieldsTakeFocus, the input
    // fields alone take the keyboard focus; buttons, tabs, radios and
    // toggles are used with the pointer.
    ControlWidgets(QWidget& window, Hit hit, bool onlyFieldsTakeFocus = false);

    // Brings the widgets in line with the controls: a control new to the
    // window is made, one that changed its kind is made anew, one no longer
    // described goes at once (and with it the focus it held), and every
    // other one is updated in place. A field whose text is unchanged keeps
    // its cursor and selection.
    void apply(const std::vector<ControlView>& controls);

    // The widget standing for a control, or nullptr.
    QWidget* widget(std::int32_t number) const;
    // The text field of an Input or Result control, or nullptr.
    QLineEdit* field(std::int32_t number) const;
    // The number of the control a widget stands for; 0 for none.
    std::int32_t numberOf(const QWidget* widget) const;

private:
    struct Shown {
        ControlKind kind = ControlKind::Label;
        QPointer<QWidget> widget;
        // The font the desktop gave the widget, before the control's own.
        QFont desktopFont;
    };
    struct Tabs {
        QTabBar* bar = nullptr;
        QFrame* body = nullptr;
        std::vector<std::int32_t> panes; // in tab order
    };

    void removeStale(const std::vector<ControlView>& controls);
    void create(const ControlView& control);
    QWidget* make(const ControlView& control, QWidget* parent);
    QWidget* makeTabControl(const ControlView& control, QWidget* parent);
    void addPane(const ControlView& pane, Tabs& tabs);
    void centreTabs(const Tabs& tabs);
    void update(const ControlView& control, const Shown& shown);
    void report(std::int32_t control, std::int32_t value);

    QWidget& window_;
    Hit hit_;
    bool onlyFieldsTakeFocus_ = false;
    std::map<std::int32_t, Shown> shown_;
    std::map<std::int32_t, QButtonGroup*> radioGroups_;
    std::map<std::int32_t, Tabs> tabs_;
    // Set while the view is applied: changes made by the program are not hits.
    bool applying_ = false;
};

} // namespace kestrune
