#include "SettingsServices.h"

#include "HotKeyManager.h"

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
    };
}

}  // namespace tarnwick
