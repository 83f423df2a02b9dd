#include "SettingsServices.h"

#include "HotKeyManager.h"

#include <QDBusConnection>

namespace tarnwick {

SettingsServices SettingsServices::forThisApplication() {
    HotKeyManager* hotKeys = &HotKeyManager::shared();
    return SettingsServices{
        LoginItem::forThisApplication(),
        [] { return FileManagerActions::forThisUser(); },
        GnomeShortcutOffer{
            [hotKeys] { return hotKeys->offersGnomeKeybinding(); },
            [hotKeys] { return hotKeys->gnomeKeybindingInstalled(); },
            [hotKeys](QString* error) { return hotKeys->installGnomeKeybinding(error); },
            [hotKeys](QString* error) { return hotKeys->removeGnomeKeybinding(error); },
        },
        [hotKeys] { return hotKeys->shortcutProblem(); },
        GnomeExtensionOffer{
            [] {
                if (!gnomeShellExtension::isGnomeWaylandSession())
                    return gnomeShellExtension::State::noShell;
                return gnomeShellExtension::state(QDBusConnection::sessionBus());
            },
            [hotKeys](QString* error) {
                if (!gnomeShellExtension::enable(QDBusConnection::sessionBus(), error))
                    return false;
                hotKeys->registerHotKey();  // the extension binds it from now on
                return true;
            },
        },
    };
}

}  // namespace tarnwick
