#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace tarnwick {

// The ring that marks a focused pill or row for keyboard users.
inline constexpr qreal kFocusRingWidth = 2;

// The panel's colours, derived from the palette so that light and dark themes both work: label
// tones are the window text with less opacity, the accent is the selection colour.
struct PanelColors {
    QColor background;
    QColor outline;
    QColor label;
    QColor secondaryLabel;
    QColor tertiaryLabel;
    QColor accent;
    QColor accentWash;  // behind highlighted letters
    QColor separator;
    QColor selection;
    QColor selectedText;
    QColor selectedWash;  // behind highlighted letters of the selected row
    QColor pillOn;
    QColor hover;
};
PanelColors panelColors(const QPalette& palette);

// The application's font at a pixel size: sizes here are device-independent pixels, so the
// panel looks the same whatever DPI the desktop reports.
QFont panelFont(int pixelSize, QFont::Weight weight = QFont::Normal);

}  // namespace tarnwick
