#include "FocusLossWatcher.h"

#include <QGuiApplication>

namespace tarnwick {

FocusLossWatcher::~FocusLossWatcher() {
    stop();
}

bool FocusLossWatcher::start() {
    if (m_connection) return true;
    m_wasActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
    m_connection = connect(qApp, &QGuiApplication::applicationStateChanged, this,
                           &FocusLossWatcher::applicationStateChanged);
    return true;
}

void FocusLossWatcher::stop() {
    disconnect(m_connection);
    m_connection = {};
}

void FocusLossWatcher::applicationStateChanged(Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) {
        m_wasActive = true;
        return;
    }
    if (!m_wasActive) return;
    m_wasActive = false;
    Q_EMIT clickedOutside();
}

}  // namespace tarnwick
