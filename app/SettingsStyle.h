#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace tarnwick {

// Colours of the settings window, derived from the palette so that light and dark themes both
// look like a desktop preferences window: rows on cards a shade apart from the window.
struct SettingsColors {
    QColor card;
    QColor cardBorder;
    QColor separator;
    QColor secondaryText;
    QColor keyCapFill;  // a faint wash of the text colour behind key names
    QColor switchOn;
    QColor switchOff;
    QColor switchKnob;
    QColor focusRing;
};

SettingsColors settingsColors(const QPalette& palette);

// The application font scaled by `factor`, with `weight`.
QFont scaledFont(const QFont& base, double factor, QFont::Weight weight = QFont::Normal);

}  // namespace tarnwick
