#include "GnomeShellPanelPlacer.h"

#include "GnomeShellExtension.h"

#include <QCoreApplication>
#include <QVariantMap>

namespace tarnwick {

void GnomeShellPanelPlacer::keepPlaced(const QString& title, const PanelRule& rule) {
    // The panel's width is the window's own; the extension reads it from the window.
    const QVariantMap options{{QStringLiteral("margin"), rule.shadowMargin},
                              {QStringLiteral("rise"), rule.riseAboveMiddle},
                              {QStringLiteral("openingHeight"), rule.openingHeight}};
    // Answered before the window is shown: a request still on its way when the shell maps the
    // window came too late, and the shell's own placement stood.
    gnomeShellExtension::callAndWait(m_bus, QStringLiteral("PlacePanel"),
                                     {uint(QCoreApplication::applicationPid()), title, options});
}

}  // namespace tarnwick
