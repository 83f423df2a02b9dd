#pragma once

#include <QLabel>
#include <QWidget>

class QVBoxLayout;

namespace tarnwick {

// A titled group of preference rows on a rounded card, rows divided by hairlines.
class SettingsGroup : public QWidget {
    Q_OBJECT
public:
    explicit SettingsGroup(const QString& title, QWidget* parent = nullptr);

    struct Row {
        QWidget* widget;
        QLabel* title;
        QLabel* subtitle;  // null without one
    };
    // A row: `label` (with an optional smaller, dimmer `subtitle` below it) on the left,
    // `trailing` on the right.
    Row addRow(const QString& label, QWidget* trailing, const QString& subtitle = {});

private:
    QWidget* m_card;
    QVBoxLayout* m_rows;
};

// The card behind a group's rows.
class SettingsCard : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarnwick
