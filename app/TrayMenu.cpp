#include "TrayMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>

namespace tarnwick {

namespace {

void addItem(QMenu& menu, const QString& title, const std::function<void()>& action,
             const QKeySequence& shortcut = {}) {
    QAction* item = menu.addAction(title);
    item->setShortcut(shortcut);
    if (action) QObject::connect(item, &QAction::triggered, &menu, [action] { action(); });
}

}  // namespace

std::unique_ptr<QMenu> buildTrayMenu(const QString& shortcutLine, const TrayMenuActions& actions) {
    auto menu = std::make_unique<QMenu>();
    addItem(*menu, QCoreApplication::translate("TrayMenu", "Search File Manager Window"),
            actions.search);
    menu->addSeparator();
    QAction* shortcut = menu->addAction(shortcutLine);
    shortcut->setObjectName(QLatin1String(kShortcutLineName));
    shortcut->setEnabled(false);
    menu->addSeparator();
    addItem(*menu, QCoreApplication::translate("TrayMenu", "Settings…"), actions.openSettings,
            QKeySequence(Qt::CTRL | Qt::Key_Comma));
    if (actions.checkForUpdates)
        addItem(*menu, QCoreApplication::translate("TrayMenu", "Check for Updates…"),
                actions.checkForUpdates);
    menu->addSeparator();
    addItem(*menu, QCoreApplication::translate("TrayMenu", "Quit Tarnwick"), actions.quit,
            QKeySequence(Qt::CTRL | Qt::Key_Q));
    return menu;
}

}  // namespace tarnwick
