#pragma once

#include <QByteArray>
#include <QList>

#include <functional>
#include <optional>

namespace tarnwick {

// The absolute paths a file manager's window title may carry when set to show full paths:
// "/home/me/Documents — Dolphin", "/tmp - Thunar", "Documents - /home/me/Documents" (Nemo). The
// title is cut at every " - ", " – " and " — ", so a path that itself holds such a separator is
// among the candidates too; longest first, without trailing slashes.
QList<QByteArray> folderPathsInTitle(const QByteArray& title);

// The longest candidate that `isFolder` confirms, or nothing (a title with a display name only,
// or a path cut short in the middle).
std::optional<QByteArray> folderFromTitle(const QByteArray& title,
                                          const std::function<bool(const QByteArray&)>& isFolder);

}  // namespace tarnwick
