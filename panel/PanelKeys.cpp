#include "PanelKeys.h"

#include "KeyModifiers.h"
#include "SearchPanel.h"
#include "platform/CapsLock.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace tarnwick {

PanelKeys::PanelKeys(SearchPanel& panel) : QObject(&panel), m_panel(panel) {}

void PanelKeys::install() {
    if (m_installed) return;
    QCoreApplication::instance()->installEventFilter(this);
    m_installed = true;
}

void PanelKeys::remove() {
    if (!m_installed) return;
    QCoreApplication::instance()->removeEventFilter(this);
    m_installed = false;
}

bool PanelKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != &m_panel || !m_panel.isVisible()) return false;
    return handleKey(*static_cast<QKeyEvent*>(event));
}

bool PanelKeys::handleKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = meaningfulModifiers(key);
    // Caps Lock counts as a modifier for Space only: with it on, Space types a blank. A pill or the
    // sort pop-up reached with Tab takes Space itself.
    if (key.key() == Qt::Key_Space && modifiers == Qt::NoModifier && !capsLockOn(key) &&
        !focusPressesSpace()) {
        m_panel.togglePreview();
        return true;
    }
    if (!isControlAlone(modifiers)) return false;
    if (isReturnKey(key)) {
        m_panel.revealSelectedAndClose(key.timestamp());
        return true;
    }
    if (key.key() == Qt::Key_H) {
        m_panel.session().toggleHiddenFiles();
        return true;
    }
    if (key.key() == Qt::Key_C) {
        if (fieldCopiesItsSelection()) return false;
        m_panel.copySelectedPath();
        return true;
    }
    return false;
}

bool PanelKeys::focusPressesSpace() const {
    const QWidget* focus = m_panel.focusWidget();
    return qobject_cast<const QAbstractButton*>(focus) || qobject_cast<const QComboBox*>(focus);
}

bool PanelKeys::fieldCopiesItsSelection() const {
    const QLineEdit* field = m_panel.searchField();
    return field->hasFocus() && field->hasSelectedText();
}

}  // namespace tarnwick
