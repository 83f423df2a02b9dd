#pragma once

#include "KWinScript.h"
#include "platform/PanelPlacer.h"

namespace tarnwick {

// The panel placed by a KWin script that stays loaded while the panel is open: it waits for
// the window, places it, keeps it above other windows and places it again whenever its size
// changes. For KWin 5 and 6 alike.
class KWinPanelPlacer : public PanelPlacer {
public:
    static constexpr int kCallTimeoutMs = 2000;

    explicit KWinPanelPlacer(QDBusConnection bus);

    void keepPlaced(const QString& title, const PanelRule& rule) override;

private:
    KWinScript m_script;
};

// The script that KWin runs for this process's window titled `title`.
QString kwinPanelPlacementScript(qint64 pid, const QString& title, const PanelRule& rule);

}  // namespace tarnwick
