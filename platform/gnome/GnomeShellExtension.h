#pragma once

#include "platform/FileManagerWindow.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

namespace tarnwick {

// Tarnwick's GNOME Shell extension, which the package installs for the shell to load. On the
// session bus it lists the windows (a Wayland client sees none of the others'), places the
// panel and binds the search shortcut, calling this application's activate-search action.
namespace gnomeShellExtension {

constexpr const char* kUuid = "tarnwick@tarnwick.org";
constexpr const char* kService = "org.tarnwick.GnomeShell";
constexpr const char* kPath = "/org/tarnwick/GnomeShell";
constexpr const char* kInterface = "org.tarnwick.GnomeShell";
constexpr int kCallTimeoutMs = 500;

// Whether this is GNOME on Wayland, the one desktop the extension serves.
bool isGnomeWaylandSession();

// Whether the extension is running now (its name has an owner); a blocking question.
bool isRunning(const QDBusConnection& bus);

// Calls one of the extension's methods without waiting for the answer.
void send(const QDBusConnection& bus, const QString& method, const QVariantList& arguments);

// Calls one of its methods and waits for the answer, at most kCallTimeoutMs; false on an error.
// For what must reach the shell before something else does (a window that is about to map).
bool callAndWait(const QDBusConnection& bus, const QString& method, const QVariantList& arguments);

// Calls one of its methods; `done` runs on the main thread with the reply or the error, unless
// `context` is gone first. Never starts anything.
void call(const QDBusConnection& bus, const QString& method, const QVariantList& arguments,
          QObject* context, std::function<void(const QDBusMessage&)> done);

// The extension's WindowStack answer (JSON, top first) as a window stack; nothing for anything
// but a list of windows. Windows off the current workspace count as hidden.
std::optional<WindowStack> windowStackFromShellReport(const QByteArray& json);

// What the shell says of the extension, for the settings window.
enum class State {
    noShell,       // no GNOME Shell on this bus
    notInstalled,  // the shell does not know it
    disabled,      // installed, not enabled
    enabled,       // running
    failed,        // the shell could not run it (an error, or a shell version it does not fit)
};
State state(const QDBusConnection& bus);

// Asks the shell to enable the extension (what `gnome-extensions enable` does); false with the
// reason in `error` when it refuses.
bool enable(const QDBusConnection& bus, QString* error);

}  // namespace gnomeShellExtension

}  // namespace tarnwick
