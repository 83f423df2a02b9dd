#include "DesktopIndex.h"

#include "core/LoadableModule.h"

#include <QObject>
#include <QtGlobal>

namespace tarnwick {

namespace {

// The entry point of the module (tracker/TrackerModule.cpp).
using Connect = void (*)(QObject* context, const DesktopIndexReady& ready);

Connect connector() {
    static const Connect connect = []() -> Connect {
        QByteArray error;
        void* module = loadModule("tarnwick-tracker.so", &error);
        auto entry = reinterpret_cast<Connect>(moduleEntry(module, "tarnwick_connect_tracker"));
        if (module && !entry) error = "it has no entry point";
        if (!entry) qWarning("The desktop index cannot be used: %s", error.constData());
        return entry;
    }();
    return connect;
}

}  // namespace

void connectDesktopIndex(QObject* context, DesktopIndexReady ready) {
    if (const Connect connect = connector()) return connect(context, ready);
    QMetaObject::invokeMethod(
        context, [ready = std::move(ready)] { ready(nullptr); }, Qt::QueuedConnection);
}

}  // namespace tarnwick
