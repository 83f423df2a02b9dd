#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace tarnwick {

// The stored shortcut, with the meaning its two keys have always had: a virtual key code of the
// original keyboard layout and a Carbon-style modifier mask.
struct StoredHotKey {
    static constexpr quint32 kDefaultKeyCode = 49;        // Space
    static constexpr quint32 kDefaultModifiers = 0x1200;  // control + shift
    static constexpr quint32 kCommandBit = 0x0100;
    static constexpr quint32 kShiftBit = 0x0200;
    static constexpr quint32 kOptionBit = 0x0800;
    static constexpr quint32 kControlBit = 0x1000;

    quint32 keyCode = kDefaultKeyCode;
    quint32 modifiers = kDefaultModifiers;

    bool operator==(const StoredHotKey&) const = default;
};

// The shortcut from the two stored values as read (absent when missing, of the wrong type or
// outside 32 bits): absent or 0 means the default; a negative value is taken as the unsigned
// 32-bit quantity it stands for.
StoredHotKey hotKeyFromStored(std::optional<qint64> keyCode, std::optional<qint64> modifiers);

// The shortcut in the user's settings ("hotKeyCode", "hotKeyModifiers"), read anew.
StoredHotKey readStoredHotKey();

// "Ctrl+Shift+Space", "Alt+Super+Return", "Ctrl+Super+Key 12": modifiers in the order control,
// option, shift, command, as this desktop names them, then the key: Space, Return and Tab by
// name, any other key as "Key " and its code. Mask bits other than the four add nothing.
QString hotKeyDisplayText(const StoredHotKey& hotKey);

// The X key that a stored key code stands for: its keysym and the keysym's name (as xkb and
// the shortcut portals spell it). Nothing for codes of keys that depend on the layout or do
// not exist on PC keyboards.
struct KeySymbol {
    quint32 keysym = 0;
    const char* name = nullptr;
};
std::optional<KeySymbol> keySymbolForKeyCode(quint32 keyCode);

// The stored modifier bits as the four modifiers of a PC keyboard.
struct ModifierKeys {
    bool control = false;
    bool alt = false;
    bool shift = false;
    bool super = false;

    bool operator==(const ModifierKeys&) const = default;
};
ModifierKeys modifierKeysFor(quint32 modifiers);

// One row of the keys list in the settings window: what the key does and its key text.
struct PanelKeyRow {
    QString action;
    QString keys;
};
// The shortcut's row and the search panel's own keys, in the order the settings window lists
// them, with their usual names on this desktop ("Esc", "Return", "Ctrl+C").
QList<PanelKeyRow> panelKeyRows(const StoredHotKey& hotKey);

}  // namespace tarnwick
