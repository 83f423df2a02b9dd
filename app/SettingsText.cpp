#include "SettingsText.h"

#include <QCoreApplication>

namespace tarnwick {

QString settingsHeaderHtml(const QString& shortcut, const QString& problem) {
    if (!problem.isEmpty())
        return problem.toHtmlEscaped() +
               QCoreApplication::translate("SettingsView",
                                           " Meanwhile <b>Search File Manager Window</b> in the "
                                           "tray menu searches the front folder.");
    return QCoreApplication::translate("SettingsView",
                                       "Press <b>%1</b> with a File Manager window in front to "
                                       "search and filter files in the current folder.")
        .arg(shortcut.toHtmlEscaped());
}

}  // namespace tarnwick
