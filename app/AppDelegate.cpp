#include "AppDelegate.h"

#include "HotKeyManager.h"
#include "TrayMenu.h"
#include "TrayMenuIcon.h"
#include "panel/SearchPanel.h"
#include "platform/FrontFolderSource.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>

namespace tarnwick {

AppDelegate::AppDelegate(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_dependencies(std::move(dependencies)) {}

AppDelegate::~AppDelegate() {
    if (m_searchPanel) m_searchPanel->close();
}

void AppDelegate::applicationDidFinishLaunching() {
    const QPointer<AppDelegate> self(this);
    auto weakly = [self](void (AppDelegate::*action)()) {
        return [self, action] {
            if (self) (self->*action)();
        };
    };
    TrayMenuActions actions;
    actions.search = weakly(&AppDelegate::activateSearch);
    actions.openSettings = m_dependencies.openSettings;
    actions.checkForUpdates = m_dependencies.checkForUpdates;
    actions.quit = [] { QCoreApplication::quit(); };
    HotKeyManager& hotKeys = HotKeyManager::shared();
    m_trayMenuIcon = std::make_unique<TrayMenuIcon>(buildTrayMenu(hotKeys.trayLine(), actions));
    m_trayMenuIcon->show();
    // The desktop answers for the shortcut later (a portal, perhaps after asking the user).
    QAction* shortcutLine =
        m_trayMenuIcon->menu()->findChild<QAction*>(QLatin1String(kShortcutLineName));
    connect(&hotKeys, &HotKeyManager::stateChanged, shortcutLine,
            [shortcutLine, &hotKeys] { shortcutLine->setText(hotKeys.trayLine()); });

    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
    hotKeys.onHotKey = weakly(&AppDelegate::activateSearch);
    hotKeys.registerHotKey();
}

void AppDelegate::applicationWillTerminate() {
    HotKeyManager::shared().unregisterHotKey();
    HotKeyManager::shared().onHotKey = nullptr;
}

void AppDelegate::activateSearch() {
    if (m_asking) {
        ++m_waitingActivations;
        return;
    }
    askFrontFolder();
}

void AppDelegate::askFrontFolder() {
    m_asking = true;
    const QPointer<AppDelegate> self(this);
    m_dependencies.frontFolder->requestFrontFolder([self](std::optional<QByteArray> folder) {
        if (self) self->frontFolderAnswered(folder);
    });
}

void AppDelegate::frontFolderAnswered(const std::optional<QByteArray>& folder) {
    m_asking = false;
    if (!folder) {
        if (m_dependencies.beep) m_dependencies.beep();
    } else if (!closeVisiblePanel()) {
        showNewPanel(*folder);
    }
    if (m_waitingActivations > 0) {
        --m_waitingActivations;
        askFrontFolder();
    }
}

void AppDelegate::openFolder(const QByteArray& folder) {
    closeVisiblePanel();
    showNewPanel(folder);
}

bool AppDelegate::closeVisiblePanel() {
    if (!m_searchPanel || !m_searchPanel->isVisible()) return false;
    m_searchPanel->close();
    // Deleted from the event loop: this may run inside the panel's own call stack.
    m_searchPanel.release()->deleteLater();
    return true;
}

void AppDelegate::showNewPanel(const QByteArray& folder) {
    if (m_searchPanel) m_searchPanel.release()->deleteLater();
    m_searchPanel = m_dependencies.makePanel(folder);
    if (m_searchPanel) m_searchPanel->show();
}

}  // namespace tarnwick
