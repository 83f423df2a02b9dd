#pragma once

#include "Appcast.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QProgressBar;

namespace tarnwick {

class AppcastReleaseNotes;

// The update checker's one window: "checking", "up to date", "update available" with release
// notes and the three answers, or an error. Reused for every check.
class AppcastDialog : public QDialog {
    Q_OBJECT
public:
    enum class Answer { download, remindLater, skip };

    explicit AppcastDialog(QWidget* parent = nullptr);

    void showChecking();
    void showUpToDate(const QString& runningVersion);
    void showUpdate(const AppcastItem& item, const QString& runningVersion);
    void showFailure(const QString& message);

    // Brings the window to the front of the desktop.
    void present();
    // Escape or the window's close button.
    void reject() override;

Q_SIGNALS:
    void checkCancelled();
    // For the update page; closing the window counts as "remind me later".
    void answered(tarnwick::AppcastDialog::Answer answer);

private:
    enum class Page { none, checking, upToDate, update, failure };
    void setPage(Page page, const QString& heading, const QString& text);
    void answer(Answer answer);

    Page m_page = Page::none;
    QLabel* m_heading;
    QLabel* m_text;
    QProgressBar* m_progress;
    QLabel* m_notesTitle;
    AppcastReleaseNotes* m_notes;
    QDialogButtonBox* m_buttons;
};

}  // namespace tarnwick
