#include "SettingsStyle.h"

namespace tarnwick {

namespace {

QColor mix(const QColor& a, const QColor& b, double amountOfB) {
    const auto blend = [amountOfB](float x, float y) { return x + float(amountOfB) * (y - x); };
    return QColor::fromRgbF(blend(a.redF(), b.redF()), blend(a.greenF(), b.greenF()),
                            blend(a.blueF(), b.blueF()));
}

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(float(alpha));
    return color;
}

bool isDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

}  // namespace

SettingsColors settingsColors(const QPalette& palette) {
    const bool dark = isDarkPalette(palette);
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    SettingsColors colors;
    // Light: cards whiter than the window; dark: a step lighter, as GNOME and Breeze draw them.
    colors.card = dark ? mix(window, Qt::white, 0.07) : mix(window, Qt::white, 0.75);
    colors.cardBorder = withAlpha(text, dark ? 0.10 : 0.09);
    colors.separator = withAlpha(text, dark ? 0.09 : 0.08);
    colors.secondaryText = withAlpha(text, 0.62);
    colors.keyCapFill = withAlpha(text, 0.12);
    colors.switchOn = palette.color(QPalette::Active, QPalette::Highlight);
    colors.switchOff = withAlpha(text, dark ? 0.22 : 0.18);
    colors.switchKnob = dark ? QColor(0xf2, 0xf2, 0xf2) : QColor(Qt::white);
    colors.focusRing = withAlpha(palette.color(QPalette::Active, QPalette::Highlight), 0.55);
    return colors;
}

QFont scaledFont(const QFont& base, double factor, QFont::Weight weight) {
    QFont font = base;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(int(font.pixelSize() * factor + 0.5));
    font.setWeight(weight);
    return font;
}

}  // namespace tarnwick
