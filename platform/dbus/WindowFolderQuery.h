#pragma once

#include "platform/FileManagerWindow.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <optional>

namespace tarnwick {

// The folder one file-manager window shows: Nautilus is asked which locations that window has
// open (by its GTK object path); Dolphin, Thunar, Nemo and Caja tell it only through a
// full-path title, which must name a folder on disk (and one Dolphin says it has open).
// `done` runs once, unless `context` goes first; failures print a "File manager error: " line
// and answer nothing.
void askWindowFolder(const QDBusConnection& bus, const FileManagerWindow& window, QObject* context,
                     std::function<void(std::optional<QByteArray>)> done);

}  // namespace tarnwick
