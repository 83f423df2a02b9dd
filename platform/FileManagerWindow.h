#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace tarnwick {

// What the front-folder search needs to know of one top-level window, whoever reports it (the
// X server, or KWin on Wayland).
struct WindowFacts {
    uint32_t id = 0;
    std::optional<qint64> pid;        // _NET_WM_PID
    QByteArray instanceName;          // WM_CLASS, first part
    QByteArray className;             // WM_CLASS, second part
    QByteArray title;                 // _NET_WM_NAME (UTF-8), else WM_NAME, as the bytes given
    QByteArray gtkObjectPath;         // _GTK_WINDOW_OBJECT_PATH
    QByteArray gtkUniqueBusName;      // _GTK_UNIQUE_BUS_NAME
    bool hidden = false;              // minimised (_NET_WM_STATE_HIDDEN)
    std::optional<uint32_t> desktop;  // _NET_WM_DESKTOP; 0xFFFFFFFF on every desktop
};

// The managed windows as the window manager stacks them, topmost first.
struct WindowStack {
    QList<WindowFacts> topFirst;
    std::optional<uint32_t> currentDesktop;  // _NET_CURRENT_DESKTOP
};

// A window stack reported as a JSON array of objects, topmost first (by a shell extension or a
// compositor script), each object read by `factsOf`; nothing for anything else.
std::optional<WindowStack> windowStackFromJson(
    const QByteArray& json, const std::function<WindowFacts(const QJsonObject&)>& factsOf);

// How a file manager's window tells its folder.
enum class FileManagerKind {
    nautilus,  // asked over D-Bus for the window's locations (GTK's window properties)
    dolphin,   // the full path in its title, confirmed with the window's process over D-Bus
    titled,    // the full path in its title, confirmed on disk (Thunar, Nemo, Caja)
};

struct FileManagerWindow {
    WindowFacts window;
    FileManagerKind kind;
};

// The kind of file manager `window` belongs to, or nothing for any other application. Thunar,
// Nemo, Caja and Dolphin are known by their class; any other GTK window whose unique bus name
// owns org.freedesktop.FileManager1 (`fileManagerOwner`) counts as Nautilus.
std::optional<FileManagerKind> fileManagerKindOf(const WindowFacts& window,
                                                 const QString& fileManagerOwner);

// The topmost file-manager window the user can see: not minimised, on the current desktop, and
// not one of this process's own windows (the panel above it must not hide it).
std::optional<FileManagerWindow> frontFileManagerWindow(const WindowStack& stack, qint64 ownPid,
                                                        const QString& fileManagerOwner);

// Whether any window in the stack carries GTK's D-Bus properties (only then is the owner of
// org.freedesktop.FileManager1 worth asking for).
bool anyGtkWindow(const WindowStack& stack);

}  // namespace tarnwick
