#include "ImmediateQuery.h"

#include <QTimer>

namespace tarnwick {

void ImmediateQuery::start() {
    if (m_started || m_stopped) return;
    m_started = true;
    QTimer::singleShot(0, this, &ImmediateQuery::finish);
}

void ImmediateQuery::enableUpdates() {
    if (m_disabled > 0) --m_disabled;
    if (m_disabled == 0 && m_finishHeld) {
        m_finishHeld = false;
        QTimer::singleShot(0, this, &ImmediateQuery::finish);
    }
}

void ImmediateQuery::finish() {
    if (m_stopped) return;
    if (m_disabled > 0) {
        m_finishHeld = true;
        return;
    }
    Q_EMIT finishedGathering();
}

}  // namespace tarnwick
