#pragma once

#include <QString>
#include <QUrl>

namespace tarnwick {

// Opens a web link with the desktop's default handler, through GIO (QDesktopServices needs
// xdg-open, which Debian does not install with Qt). On failure returns false with GIO's message.
bool openWebLink(const QUrl& link, QString* error);

}  // namespace tarnwick
