#pragma once

#include "Appcast.h"

#include <QTextBrowser>

namespace tarnwick {

// Shows an update's release notes, which come from the network: rich text is drawn, but nothing
// the notes refer to is loaded (no images, no local files), and only https links open, in the
// desktop's browser.
class AppcastReleaseNotes : public QTextBrowser {
    Q_OBJECT
public:
    explicit AppcastReleaseNotes(QWidget* parent = nullptr);

    void showNotes(const AppcastItem& item);
    QVariant loadResource(int type, const QUrl& name) override;
};

}  // namespace tarnwick
