#pragma once

#include <QString>

namespace tarnwick {

// "Press <b>SHORTCUT</b> with a File Manager window in front to ...", as rich text with the
// shortcut escaped.
// With a `problem` (why the shortcut does not work, what to do), that instead, and what works
// meanwhile.
QString settingsHeaderHtml(const QString& shortcut, const QString& problem = QString());

}  // namespace tarnwick
