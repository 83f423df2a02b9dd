#include "DesktopIndex.h"

#include "core/LoadableModule.h"

#include <QObject>

namespace tarnwick {

namespace {

// The entry point of the module (tracker/TrackerModule.cpp).
using Connect = void (*)(QObject* context, const DesktopIndexReady& ready);

Connect connector() {
    static const auto connect = reinterpret_cast<Connect>(loadModuleEntry(
        "tarnwick-tracker.so", "tarnwick_connect_tracker", "The desktop index cannot be used"));
    return connect;
}

}  // namespace

void connectDesktopIndex(QObject* context, DesktopIndexReady ready) {
    if (const Connect connect = connector()) return connect(context, ready);
    QMetaObject::invokeMethod(
        context, [ready = std::move(ready)] { ready(nullptr); }, Qt::QueuedConnection);
}

}  // namespace tarnwick
