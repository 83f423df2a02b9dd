#pragma once

#include "ClickOutsideWatcher.h"

#include <QMetaObject>

namespace tarnwick {

// Where no global pointer events can be seen (Wayland), a click in another application shows
// only as this application losing activation. Switching applications by keyboard looks the same
// and counts too. Only a loss after the application has been active counts, so a panel shown
// before the window manager activates it is not dismissed at once.
class FocusLossWatcher : public ClickOutsideWatcher {
    Q_OBJECT
public:
    using ClickOutsideWatcher::ClickOutsideWatcher;
    ~FocusLossWatcher() override;

    bool start() override;
    void stop() override;

private:
    void applicationStateChanged(Qt::ApplicationState state);

    QMetaObject::Connection m_connection;
    bool m_wasActive = false;
};

}  // namespace tarnwick
