#include "platform/menu_bar_mirror.h"

#include "application/commands.h"
#include "model/app_state.h"
#include "model/menu_model.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace kestrune {
namespace {

QString menuText(const std::string& title) {
    // An ampersand in a title is a character, not a mnemonic.
    return QString::fromStdString(title).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// A menu's title with its first letter as the mnemonic: Alt+F opens File.
QString menuTitleText(const std::string& title) {
    return QLatin1Char('&') + menuText(title);
}

QKeySequence keysOf(const Shortcut& shortcut) {
    if (shortcut.empty()) {
        return {};
    }
    // The shortcut's key is its own Qt key code (letters, digits, '/', ',').
    QKeyCombination combination(Qt::ControlModifier, static_cast<Qt::Key>(shortcut.key));
    if (shortcut.shift) {
        combination = QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier,
                                      static_cast<Qt::Key>(shortcut.key));
    }
    return QKeySequence(combination);
}

} // namespace

MenuBarMirror::MenuBarMirror(AppState& app, QMenuBar& bar, QObject* parent)
    : QObject(parent), app_(app), bar_(bar) {}

bool MenuBarMirror::sameShape(const std::vector<Menu>& menus) const {
    if (menus.size() != menus_.size()) {
        return false;
    }
    for (std::size_t m = 0; m < menus.size(); ++m) {
        if (menus[m].number != menus_[m].number ||
            menus[m].items.size() != menus_[m].items.size()) {
            return false;
        }
        for (std::size_t i = 0; i < menus[m].items.size(); ++i) {
            if (menus[m].items[i].separator != menus_[m].items[i]->isSeparator()) {
                return false;
            }
        }
    }
    return true;
}

void MenuBarMirror::rebuild(const std::vector<Menu>& menus) {
    // The old menus may be the ones whose action is running just now.
    for (MirroredMenu& old : menus_) {
        bar_.removeAction(old.menu->menuAction());
        old.menu->deleteLater();
    }
    menus_.clear();
    for (const Menu& source : menus) {
        MirroredMenu mirrored;
        mirrored.number = source.number;
        mirrored.menu = bar_.addMenu(menuTitleText(source.title));
        for (std::size_t i = 0; i < source.items.size(); ++i) {
            const int number = source.number;
            const int item = static_cast<int>(i) + 1;
            QAction* action = nullptr;
            if (source.items[i].separator) {
                action = mirrored.menu->addSeparator();
            } else {
                action = mirrored.menu->addAction(QString());
                connect(action, &QAction::triggered, this,
                        [this, number, item] { chosen(number, item); });
            }
            mirrored.items.push_back(action);
        }
        menus_.push_back(mirrored);
    }
}

void MenuBarMirror::update(const std::vector<Menu>& menus) {
    if (!sameShape(menus)) {
        rebuild(menus);
    }
    for (std::size_t m = 0; m < menus.size(); ++m) {
        const Menu& source = menus[m];
        MirroredMenu& mirrored = menus_[m];
        mirrored.menu->setTitle(menuTitleText(source.title));
        mirrored.menu->menuAction()->setEnabled(source.enabled);
        for (std::size_t i = 0; i < source.items.size(); ++i) {
            const MenuItem& item = source.items[i];
            QAction* action = mirrored.items[i];
            action->setVisible(item.visible);
            if (item.separator) {
                continue;
            }
            action->setText(menuText(item.title));
            action->setShortcut(keysOf(item.shortcut));
            action->setShortcutContext(Qt::WindowShortcut);
            action->setCheckable(item.checked);
            action->setChecked(item.checked);
            // A greyed menu takes its items' shortcuts with it.
            action->setEnabled(ItemUsable(source, item));
        }
    }
}

void MenuBarMirror::chosen(int menu, int item) {
    DispatchMenuCommand(app_, menu, item);
    // A command may change check marks and titles without a redraw.
    update(app_.menus.menus());
    // Minimizing is the desktop's own window command; the core only notes it.
    if (commandFor(menu, item).command == Command::Minimize) {
        if (QWidget* window = bar_.window()) {
            window->showMinimized();
        }
    }
}

QAction* MenuBarMirror::action(int menu, int item) const {
    for (const MirroredMenu& mirrored : menus_) {
        if (mirrored.number == menu && item >= 1 &&
            static_cast<std::size_t>(item) <= mirrored.items.size()) {
            return mirrored.items[static_cast<std::size_t>(item) - 1];
        }
    }
    return nullptr;
}

QMenu* MenuBarMirror::menu(int menu) const {
    for (const MirroredMenu& mirrored : menus_) {
        if (mirrored.number == menu) {
            return mirrored.menu;
        }
    }
    return nullptr;
}

} // namespace kestrune
