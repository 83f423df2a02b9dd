#include "SettingsText.h"

#include <QCoreApplication>

namespace tarnwick {

QString settingsHeaderHtml(const QString& shortcut) {
    return QCoreApplication::translate("SettingsView",
                                       "Press <b>%1</b> with a File Manager window in front to "
                                       "search and filter files in the current folder.")
        .arg(shortcut.toHtmlEscaped());
}

}  // namespace tarnwick
