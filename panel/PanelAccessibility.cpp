#include "PanelAccessibility.h"

#include <QAccessibleWidget>
#include <QFrame>
#include <QWidget>

namespace tarnwick {

namespace {

// Asked for every class up a widget's ancestry, most derived first.
QAccessibleInterface* panelAccessibleFor(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == u"tarnwick::SearchPanel")
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == u"tarnwick::PanelLabel")
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    // A line between views is not a frame (a window, to a screen reader).
    if (className == u"QFrame" && static_cast<QFrame*>(widget)->frameShape() == QFrame::HLine)
        return new QAccessibleWidget(widget, QAccessible::Separator);
    return nullptr;
}

}  // namespace

void installPanelAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(panelAccessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace tarnwick
