#pragma once

#include <QDBusConnection>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tarnwick {

// An answer from a file manager over D-Bus: the value, or why there is none.
template <typename T>
struct BusAnswer {
    std::optional<T> value;
    QString error;
};

// Nautilus's OpenWindowsWithLocations: a window's object path to its tabs' URIs.
using WindowLocations = QMap<QString, QStringList>;

// What the owner of org.freedesktop.FileManager1 says is open: its windows with their tabs
// when it tells (Nautilus), else every open location in one list (Nemo).
struct ReportedLocations {
    std::optional<WindowLocations> windows;
    QStringList openLocations;
};

// Questions to file managers over the session bus. Each is asynchronous, gives up after
// kCallTimeoutMs, never starts a service that is not running, and answers on the main thread
// unless `context` is gone by then. An answer of the wrong shape counts as an error.
namespace fileManagerQueries {

constexpr int kCallTimeoutMs = 2500;
constexpr const char* kFileManager1 = "org.freedesktop.FileManager1";

void askNameOwner(const QDBusConnection& bus, const QString& name, QObject* context,
                  std::function<void(BusAnswer<QString>)> done);

// `service`'s OpenWindowsWithLocations (a unique name or org.freedesktop.FileManager1).
void askWindowLocations(const QDBusConnection& bus, const QString& service, QObject* context,
                        std::function<void(BusAnswer<WindowLocations>)> done);

// The FileManager1 properties of whoever owns that name.
void askReportedLocations(const QDBusConnection& bus, QObject* context,
                          std::function<void(BusAnswer<ReportedLocations>)> done);

// Whether any window of the Dolphin process `pid` has `uri` open.
void askDolphinUrlOpen(const QDBusConnection& bus, qint64 pid, const QString& uri, QObject* context,
                       std::function<void(BusAnswer<bool>)> done);

}  // namespace fileManagerQueries

}  // namespace tarnwick
