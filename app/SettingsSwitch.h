#pragma once

#include <QAbstractButton>
#include <QVariantAnimation>

namespace tarnwick {

// An on/off switch as desktop preference windows show them: a pill with a sliding knob.
// Checkable; toggles on click, Space and Return, and draws a focus ring for the keyboard.
class SettingsSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit SettingsSwitch(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // Sets the state without animation or signals, for showing a state read from elsewhere.
    void showState(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void animateTo(bool on);

    QVariantAnimation m_knob;  // 0 off .. 1 on
};

}  // namespace tarnwick
