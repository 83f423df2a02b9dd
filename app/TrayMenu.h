#pragma once

#include <QString>

#include <functional>
#include <memory>

class QMenu;

namespace tarnwick {

// What the tray menu's items do.
struct TrayMenuActions {
    std::function<void()> search;
    std::function<void()> openSettings;
    std::function<void()> checkForUpdates;  // none: no "Check for Updates…" item
    std::function<void()> quit;
};

// The object name of the menu's shortcut line, which follows the desktop's answers.
inline constexpr const char* kShortcutLineName = "shortcutLine";

// The tray icon's menu, built once at launch: "Search File Manager Window", the shortcut line
// (disabled, `shortcutLine` until changed), "Settings…" (Ctrl+,), "Check for Updates…" and
// "Quit Tarnwick" (Ctrl+Q), with separators between the groups.
std::unique_ptr<QMenu> buildTrayMenu(const QString& shortcutLine, const TrayMenuActions& actions);

}  // namespace tarnwick
