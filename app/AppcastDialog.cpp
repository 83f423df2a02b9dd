#include "AppcastDialog.h"

#include "AppcastReleaseNotes.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

QLabel* iconLabel() {
    auto* label = new QLabel;
    const QIcon icon =
        QIcon::fromTheme(QStringLiteral("org.tarnwick.Tarnwick"),
                         QIcon(QStringLiteral(":/tarnwick/org.tarnwick.Tarnwick.svg")));
    label->setPixmap(icon.pixmap(64, 64));
    label->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    label->setFixedWidth(80);
    return label;
}

}  // namespace

AppcastDialog::AppcastDialog(QWidget* parent)
    : QDialog(parent),
      m_heading(new QLabel),
      m_text(new QLabel),
      m_progress(new QProgressBar),
      m_notesTitle(new QLabel(tr("Release Notes:"))),
      m_notes(new AppcastReleaseNotes),
      m_buttons(new QDialogButtonBox) {
    setWindowTitle(tr("Software Update"));
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.15);
    m_heading->setFont(headingFont);
    m_heading->setWordWrap(true);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    QFont notesTitleFont = m_notesTitle->font();
    notesTitleFont.setBold(true);
    m_notesTitle->setFont(notesTitleFont);

    auto* column = new QVBoxLayout;
    column->setSpacing(10);
    column->addWidget(m_heading);
    column->addWidget(m_text);
    column->addWidget(m_progress);
    column->addWidget(m_notesTitle);
    column->addWidget(m_notes, 1);
    column->addWidget(m_buttons);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 20, 20, 16);
    row->setSpacing(12);
    row->addWidget(iconLabel());
    row->addLayout(column, 1);
}

void AppcastDialog::setPage(Page page, const QString& heading, const QString& text) {
    m_page = page;
    m_heading->setText(heading);
    m_text->setText(text);
    m_progress->setVisible(page == Page::checking);
    m_notesTitle->setVisible(page == Page::update);
    m_notes->setVisible(page == Page::update);
    m_buttons->clear();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void AppcastDialog::showChecking() {
    setPage(Page::checking, tr("Checking for updates…"), QString());
    m_text->hide();
    QPushButton* cancel = m_buttons->addButton(QDialogButtonBox::Cancel);
    connect(cancel, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT checkCancelled();
    });
    resize(440, 150);
}

void AppcastDialog::showUpToDate(const QString& runningVersion) {
    setPage(Page::upToDate, tr("You're up to date!"),
            tr("Tarnwick %1 is currently the newest version available.").arg(runningVersion));
    m_text->show();
    connect(m_buttons->addButton(QDialogButtonBox::Ok), &QPushButton::clicked, this,
            &QDialog::hide);
    resize(440, 150);
}

void AppcastDialog::showFailure(const QString& message) {
    setPage(Page::failure, tr("Update Error!"), message);
    m_text->show();
    connect(m_buttons->addButton(QDialogButtonBox::Ok), &QPushButton::clicked, this,
            &QDialog::hide);
    resize(440, 160);
}

void AppcastDialog::showUpdate(const AppcastItem& item, const QString& runningVersion) {
    setPage(Page::update, tr("A new version of Tarnwick is available!"),
            tr("Tarnwick %1 is now available—you have %2. Would you like to download it now?")
                .arg(item.displayVersion, runningVersion));
    m_text->show();
    m_notes->showNotes(item);
    // Apart from the other two, where a dialog keeps its secondary action (left, in both the
    // GNOME and the KDE button order).
    QPushButton* skip = m_buttons->addButton(tr("Skip This Version"), QDialogButtonBox::ResetRole);
    QPushButton* later = m_buttons->addButton(tr("Remind Me Later"), QDialogButtonBox::RejectRole);
    QPushButton* download = m_buttons->addButton(tr("Download"), QDialogButtonBox::AcceptRole);
    download->setDefault(true);
    download->setFocus();
    connect(skip, &QPushButton::clicked, this, [this] { answer(Answer::skip); });
    connect(later, &QPushButton::clicked, this, [this] { answer(Answer::remindLater); });
    connect(download, &QPushButton::clicked, this, [this] { answer(Answer::download); });
    resize(580, 440);
}

void AppcastDialog::present() {
    show();
    raise();
    activateWindow();
}

void AppcastDialog::answer(Answer answer) {
    if (m_page != Page::update) return;
    m_page = Page::none;
    hide();
    Q_EMIT answered(answer);
}

void AppcastDialog::reject() {
    if (m_page == Page::update) {
        answer(Answer::remindLater);
        return;
    }
    const bool wasChecking = m_page == Page::checking;
    QDialog::reject();
    if (wasChecking) Q_EMIT checkCancelled();
}

}  // namespace tarnwick
