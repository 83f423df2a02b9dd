#pragma once

#include <QObject>

#include <memory>

namespace tarnwick {

// Reports a left or right click that lands outside every window of this application, so that a
// transient panel can get out of the way. Clicks on our own windows (menus, pop-ups, a preview)
// and wheel turns never count.
class ClickOutsideWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts listening; false when the desktop refuses, and then nothing is ever reported.
    virtual bool start() = 0;
    // Stops listening; harmless when not started or already stopped. Safe to call from a slot
    // of clickedOutside (deleting the watcher there is not: use deleteLater).
    virtual void stop() = 0;

    // The watcher that works on this desktop: raw button presses on a real X server; elsewhere
    // (Wayland, no display) this application losing activation, the nearest observable thing.
    static std::unique_ptr<ClickOutsideWatcher> create(QObject* parent = nullptr);

Q_SIGNALS:
    void clickedOutside();
};

}  // namespace tarnwick
