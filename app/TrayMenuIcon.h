#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QMenu;
class QPalette;
class QSystemTrayIcon;

namespace tarnwick {

// Whether the palette is a dark theme's: its window colour darker than its text.
bool themeIsDark(const QPalette& palette);
// The magnifier symbol that stands out on such a theme: light on dark, dark on light.
QString trayIconResource(bool darkTheme);

// The tray icon with its menu: a magnifier symbol that follows the light or dark theme while
// the application runs. Clicking it opens the menu; it has no action of its own.
class TrayMenuIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayMenuIcon(std::unique_ptr<QMenu> menu, QObject* parent = nullptr);
    ~TrayMenuIcon() override;

    // Shows the icon. Without a tray to show it in (no StatusNotifier host, no XEmbed tray)
    // says so once on standard output; the shortcut works regardless.
    void show();

    QSystemTrayIcon* trayIcon() const { return m_icon.get(); }
    QMenu* menu() const { return m_menu.get(); }
    // The resource of the symbol shown now.
    const QString& iconResource() const { return m_iconResource; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followTheme();

    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QString m_iconResource;
};

}  // namespace tarnwick
