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
#include <QTimer>

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
    preparePanelSoon();
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
    // The file manager takes its time to answer: the panel is built meanwhile.
    if (m_asking) preparePanel();
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
    preparePanel();
    m_searchPanel = std::move(m_preparedPanel);
    if (!m_searchPanel) return;
    m_searchPanel->open(folder);
    m_searchPanel->show();
    // Prepared once this one is gone from the screen, when no one waits for it.
    connect(m_searchPanel.get(), &SearchPanel::panelClosed, this, &AppDelegate::preparePanelSoon);
}

void AppDelegate::preparePanel() {
    if (m_preparedPanel || !m_dependencies.preparePanel) return;
    m_preparedPanel = m_dependencies.preparePanel();
    if (m_preparedPanel) m_preparedPanel->prepareWindow();
}

void AppDelegate::preparePanelSoon() {
    QTimer::singleShot(0, this, &AppDelegate::preparePanel);
}

}  // namespace tarnwick
