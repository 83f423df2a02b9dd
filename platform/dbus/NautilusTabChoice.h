#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarnwick {

// Which folder a Nautilus window shows, from its tabs' URIs. Nothing marks the active tab: with
// several, the one whose folder name is the window's title (Nautilus titles a window with its
// folder's display name, "Home" for the home folder). Only local folders count; several tabs
// of the same name in different places leave the question open.
std::optional<QByteArray> nautilusWindowFolder(const QStringList& tabUris,
                                               const QString& windowTitle,
                                               const QByteArray& homeFolder);

}  // namespace tarnwick
