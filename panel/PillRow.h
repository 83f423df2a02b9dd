#pragma once

#include "core/SearchSession.h"

#include <QList>
#include <QScrollArea>

class QHBoxLayout;

namespace tarnwick {

class PillButton;

// The row of extension pills: a strip without scroll bars that the wheel and a trackpad scroll
// sideways when the pills do not fit. Shows the states it is given; a click is reported with the
// pill's index and changes nothing by itself until the new states come back.
class PillRow : public QScrollArea {
    Q_OBJECT
public:
    explicit PillRow(QWidget* parent = nullptr);

    // Shows `pills`, reusing the buttons when only their states changed.
    void setPills(const QList<PillState>& pills);
    int pillCount() const { return int(m_buttons.size()); }
    PillButton* pillAt(int index) const { return m_buttons.value(index); }

Q_SIGNALS:
    void pillTapped(int index);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void rebuild(const QList<PillState>& pills);

    QWidget* m_strip;
    QHBoxLayout* m_layout;
    QList<PillButton*> m_buttons;
    QList<Pill> m_shown;
};

}  // namespace tarnwick
