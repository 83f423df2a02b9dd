#include "HotKeyText.h"

#include "core/Preferences.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace tarnwick {

namespace {

struct KeyCodeRow {
    quint32 keyCode;
    quint32 keysym;
    const char* name;
};

// Virtual key codes of the keys whose place does not depend on the layout's letters, with the
// X keysym of the same key on a US layout. Letters, digits and punctuation are included by the
// character they carry on that layout, which is what a user who stored them meant.
constexpr KeyCodeRow kKeyCodeTable[] = {
    {0x00, 0x0061, "a"},           {0x01, 0x0073, "s"},           {0x02, 0x0064, "d"},
    {0x03, 0x0066, "f"},           {0x04, 0x0068, "h"},           {0x05, 0x0067, "g"},
    {0x06, 0x007a, "z"},           {0x07, 0x0078, "x"},           {0x08, 0x0063, "c"},
    {0x09, 0x0076, "v"},           {0x0b, 0x0062, "b"},           {0x0c, 0x0071, "q"},
    {0x0d, 0x0077, "w"},           {0x0e, 0x0065, "e"},           {0x0f, 0x0072, "r"},
    {0x10, 0x0079, "y"},           {0x11, 0x0074, "t"},           {0x12, 0x0031, "1"},
    {0x13, 0x0032, "2"},           {0x14, 0x0033, "3"},           {0x15, 0x0034, "4"},
    {0x16, 0x0036, "6"},           {0x17, 0x0035, "5"},           {0x18, 0x003d, "equal"},
    {0x19, 0x0039, "9"},           {0x1a, 0x0037, "7"},           {0x1b, 0x002d, "minus"},
    {0x1c, 0x0038, "8"},           {0x1d, 0x0030, "0"},           {0x1e, 0x005d, "bracketright"},
    {0x1f, 0x006f, "o"},           {0x20, 0x0075, "u"},           {0x21, 0x005b, "bracketleft"},
    {0x22, 0x0069, "i"},           {0x23, 0x0070, "p"},           {0x24, 0xff0d, "Return"},
    {0x25, 0x006c, "l"},           {0x26, 0x006a, "j"},           {0x27, 0x0027, "apostrophe"},
    {0x28, 0x006b, "k"},           {0x29, 0x003b, "semicolon"},   {0x2a, 0x005c, "backslash"},
    {0x2b, 0x002c, "comma"},       {0x2c, 0x002f, "slash"},       {0x2d, 0x006e, "n"},
    {0x2e, 0x006d, "m"},           {0x2f, 0x002e, "period"},      {0x30, 0xff09, "Tab"},
    {0x31, 0x0020, "space"},       {0x32, 0x0060, "grave"},       {0x33, 0xff08, "BackSpace"},
    {0x35, 0xff1b, "Escape"},      {0x40, 0xffce, "F17"},         {0x41, 0xffae, "KP_Decimal"},
    {0x43, 0xffaa, "KP_Multiply"}, {0x45, 0xffab, "KP_Add"},      {0x4b, 0xffaf, "KP_Divide"},
    {0x4c, 0xff8d, "KP_Enter"},    {0x4e, 0xffad, "KP_Subtract"}, {0x4f, 0xffcf, "F18"},
    {0x50, 0xffd0, "F19"},         {0x51, 0xffbd, "KP_Equal"},    {0x52, 0xffb0, "KP_0"},
    {0x53, 0xffb1, "KP_1"},        {0x54, 0xffb2, "KP_2"},        {0x55, 0xffb3, "KP_3"},
    {0x56, 0xffb4, "KP_4"},        {0x57, 0xffb5, "KP_5"},        {0x58, 0xffb6, "KP_6"},
    {0x59, 0xffb7, "KP_7"},        {0x5a, 0xffd1, "F20"},         {0x5b, 0xffb8, "KP_8"},
    {0x5c, 0xffb9, "KP_9"},        {0x60, 0xffc2, "F5"},          {0x61, 0xffc3, "F6"},
    {0x62, 0xffc4, "F7"},          {0x63, 0xffc0, "F3"},          {0x64, 0xffc5, "F8"},
    {0x65, 0xffc6, "F9"},          {0x67, 0xffc8, "F11"},         {0x69, 0xffca, "F13"},
    {0x6a, 0xffcd, "F16"},         {0x6b, 0xffcb, "F14"},         {0x6d, 0xffc7, "F10"},
    {0x6f, 0xffc9, "F12"},         {0x71, 0xffcc, "F15"},         {0x72, 0xff63, "Insert"},
    {0x73, 0xff50, "Home"},        {0x74, 0xff55, "Prior"},       {0x75, 0xffff, "Delete"},
    {0x76, 0xffc1, "F4"},          {0x77, 0xff57, "End"},         {0x78, 0xffbf, "F2"},
    {0x79, 0xff56, "Next"},        {0x7a, 0xffbe, "F1"},          {0x7b, 0xff51, "Left"},
    {0x7c, 0xff53, "Right"},       {0x7d, 0xff54, "Down"},        {0x7e, 0xff52, "Up"},
};

// The three keys the display text names; every other key shows as "Key " and its code.
struct KeyNameRow {
    quint32 keyCode;
    const char* text;
};
constexpr KeyNameRow kKeyNameTable[] = {{49, "Space"}, {36, "Return"}, {48, "Tab"}};

quint32 storedOrDefault(std::optional<qint64> value, quint32 fallback) {
    // A negative number within 32 bits is what a signed reader made of an unsigned mask.
    const quint32 bits = value ? quint32(*value) : 0;
    return bits == 0 ? fallback : bits;
}

// Key names are the ones Qt's own translations carry (QShortcut's "Space", "Ctrl", ...).
QString qtKeyName(const char* name) {
    return QCoreApplication::translate("QShortcut", name);
}

QString keyName(quint32 keyCode) {
    for (const KeyNameRow& row : kKeyNameTable)
        if (row.keyCode == keyCode) return qtKeyName(row.text);
    return QCoreApplication::translate("HotKeyText", "Key %1").arg(keyCode);
}

QString nativeText(const QKeySequence& keys) {
    return keys.toString(QKeySequence::NativeText);
}

}  // namespace

StoredHotKey hotKeyFromStored(std::optional<qint64> keyCode, std::optional<qint64> modifiers) {
    return {storedOrDefault(keyCode, StoredHotKey::kDefaultKeyCode),
            storedOrDefault(modifiers, StoredHotKey::kDefaultModifiers)};
}

StoredHotKey readStoredHotKey() {
    return hotKeyFromStored(
        Preferences::readInt32(QString::fromLatin1(Preferences::kHotKeyCode)),
        Preferences::readInt32(QString::fromLatin1(Preferences::kHotKeyModifiers)));
}

QString hotKeyDisplayText(const StoredHotKey& hotKey) {
    const ModifierKeys keys = modifierKeysFor(hotKey.modifiers);
    QStringList pieces;
    if (keys.control) pieces << qtKeyName("Ctrl");
    if (keys.alt) pieces << qtKeyName("Alt");
    if (keys.shift) pieces << qtKeyName("Shift");
    if (keys.super) pieces << qtKeyName("Super");
    pieces << keyName(hotKey.keyCode);
    return pieces.join(QLatin1Char('+'));
}

std::optional<KeySymbol> keySymbolForKeyCode(quint32 keyCode) {
    const auto row = std::find_if(std::begin(kKeyCodeTable), std::end(kKeyCodeTable),
                                  [keyCode](const KeyCodeRow& r) { return r.keyCode == keyCode; });
    if (row == std::end(kKeyCodeTable)) return std::nullopt;
    return KeySymbol{row->keysym, row->name};
}

ModifierKeys modifierKeysFor(quint32 modifiers) {
    return {(modifiers & StoredHotKey::kControlBit) != 0,
            (modifiers & StoredHotKey::kOptionBit) != 0, (modifiers & StoredHotKey::kShiftBit) != 0,
            (modifiers & StoredHotKey::kCommandBit) != 0};
}

QList<PanelKeyRow> panelKeyRows(const StoredHotKey& hotKey) {
    // Inside the panel the Command key of the original is Ctrl.
    return {
        {QCoreApplication::translate("HotKeyText", "Activate search"), hotKeyDisplayText(hotKey)},
        {QCoreApplication::translate("HotKeyText", "Navigate results"),
         QStringLiteral("\u2191 \u2193")},
        {QCoreApplication::translate("HotKeyText", "Open selected file"),
         nativeText(QKeySequence(Qt::Key_Return))},
        {QCoreApplication::translate("HotKeyText", "Reveal in File Manager"),
         nativeText(QKeySequence(Qt::CTRL | Qt::Key_Return))},
        {QCoreApplication::translate("HotKeyText", "Copy path"),
         nativeText(QKeySequence(Qt::CTRL | Qt::Key_C))},
        {QCoreApplication::translate("HotKeyText", "QuickLook preview"),
         nativeText(QKeySequence(Qt::Key_Space))},
        {QCoreApplication::translate("HotKeyText", "Dismiss"),
         nativeText(QKeySequence(Qt::Key_Escape))},
    };
}

}  // namespace tarnwick
