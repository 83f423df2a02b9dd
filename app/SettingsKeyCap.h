#pragma once

#include <QLabel>

namespace tarnwick {

// A key's name drawn as a key cap: monospaced text in the secondary colour on a rounded, faintly
// filled rectangle.
class SettingsKeyCap : public QLabel {
    Q_OBJECT
public:
    explicit SettingsKeyCap(const QString& keys, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyFont();
};

}  // namespace tarnwick
