#pragma once
// The menu bar as the core's menu model describes it. The model is the only
// place where items are enabled, checked or retitled; update() copies it
// into the actions, and a chosen action goes back to the core by its menu
// number and item position.

#include <QObject>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace kestrune {

class AppState;
struct Menu;

class MenuBarMirror final : public QObject {
    Q_OBJECT
public:
    MenuBarMirror(AppState& app, QMenuBar& bar, QObject* parent = nullptr);

    void update(const std::vector<Menu>& menus);

    // The action of an item, for tests; null when there is none.
    QAction* action(int menu, int item) const;
    QMenu* menu(int menu) const;

private:
    struct MirroredMenu {
        int number = 0;
        QMenu* menu = nullptr;
        std::vector<QAction*> items; // items[0] is item 1
    };

    bool sameShape(const std::vector<Menu>& menus) const;
    void rebuild(const std::vector<Menu>& menus);
    void chosen(int menu, int item);

    AppState& app_;
    QMenuBar& bar_;
    std::vector<MirroredMenu> menus_;
};

} // namespace kestrune
