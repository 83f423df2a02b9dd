#include "TrayMenuIcon.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPalette>
#include <QSystemTrayIcon>

#include <cstdio>

// Resources of a static library are registered by hand, outside any namespace.
static void registerTrayIcons() {
    Q_INIT_RESOURCE(TrayMenuIcons);
}

namespace tarnwick {

bool themeIsDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

QString trayIconResource(bool darkTheme) {
    return darkTheme ? QStringLiteral(":/tray/magnifier-light.svg")
                     : QStringLiteral(":/tray/magnifier-dark.svg");
}

TrayMenuIcon::TrayMenuIcon(std::unique_ptr<QMenu> menu, QObject* parent)
    : QObject(parent), m_menu(std::move(menu)), m_icon(std::make_unique<QSystemTrayIcon>()) {
    registerTrayIcons();
    m_icon->setToolTip(QStringLiteral("Tarnwick"));
    m_icon->setContextMenu(m_menu.get());
    followTheme();
    qApp->installEventFilter(this);
}

TrayMenuIcon::~TrayMenuIcon() {
    qApp->removeEventFilter(this);
    m_icon->hide();
}

void TrayMenuIcon::show() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        std::printf(
            "System tray unavailable: no tray icon is shown; the global hot key still works\n");
        std::fflush(stdout);
    }
    // Shown even so: an XEmbed tray that appears later picks the icon up.
    m_icon->show();
}

bool TrayMenuIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) followTheme();
    return false;
}

void TrayMenuIcon::followTheme() {
    const QString resource = trayIconResource(themeIsDark(QApplication::palette()));
    if (resource == m_iconResource) return;
    m_iconResource = resource;
    m_icon->setIcon(QIcon(resource));
}

}  // namespace tarnwick
