#pragma once

#include <QAbstractButton>

namespace tarnwick {

// One toggle of the pill row: a capsule that shows a light fill while on and a ring while it has
// the keyboard focus (from Tab; Space or Return flips it). The button flips its own state before
// it reports the click, as the pill row expects.
class PillButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PillButton(const QString& title, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_hovered = false;
};

}  // namespace tarnwick
