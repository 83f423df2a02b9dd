#pragma once

#include <QString>

namespace tarnwick {

// "Press <b>SHORTCUT</b> with a File Manager window in front to ...", as rich text with the
// shortcut escaped.
QString settingsHeaderHtml(const QString& shortcut);

}  // namespace tarnwick
