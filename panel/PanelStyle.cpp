#include "PanelStyle.h"

#include <QGuiApplication>

namespace tarnwick {

namespace {

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(float(alpha));
    return color;
}

}  // namespace

PanelColors panelColors(const QPalette& palette) {
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor selectedText = palette.color(QPalette::Active, QPalette::HighlightedText);
    PanelColors colors;
    colors.background = palette.color(QPalette::Active, QPalette::Window);
    colors.outline = withAlpha(text, 0.14);
    colors.label = text;
    // Dimmer than a dialog's labels, still readable on both light and dark windows.
    colors.secondaryLabel = withAlpha(text, 0.64);
    colors.tertiaryLabel = withAlpha(text, 0.46);
    colors.accent = accent;
    colors.accentWash = withAlpha(accent, 0.2);
    colors.separator = withAlpha(text, 0.12);
    colors.selection = accent;
    colors.selectedText = selectedText;
    colors.selectedWash = withAlpha(selectedText, 0.28);
    colors.pillOn = withAlpha(text, 0.13);
    colors.hover = withAlpha(text, 0.07);
    return colors;
}

QFont panelFont(int pixelSize, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

}  // namespace tarnwick
