#include "GlobalShortcut.h"

#include <QStringList>

namespace tarnwick {

QString portalTrigger(const ShortcutKey& key) {
    QStringList parts;
    if (key.control) parts << QStringLiteral("CTRL");
    if (key.alt) parts << QStringLiteral("ALT");
    if (key.shift) parts << QStringLiteral("SHIFT");
    if (key.super) parts << QStringLiteral("LOGO");
    parts << key.keysymName;
    return parts.join(QLatin1Char('+'));
}

QString gnomeAccelerator(const ShortcutKey& key) {
    QString text;
    if (key.control) text += QStringLiteral("<Control>");
    if (key.alt) text += QStringLiteral("<Alt>");
    if (key.shift) text += QStringLiteral("<Shift>");
    if (key.super) text += QStringLiteral("<Super>");
    return text + key.keysymName;
}

}  // namespace tarnwick
