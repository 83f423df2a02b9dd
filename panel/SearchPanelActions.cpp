// The panel's file actions (open, reveal, copy, trash), its context menu, double click and
// the drag source wiring. Every action works on one item taken when the user asked for it.

#include "ResultsModel.h"
#include "ResultsTableView.h"
#include "SearchPanel.h"
#include "core/PathAnchor.h"
#include "platform/ClipboardPayload.h"
#include "platform/StartupId.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>

#include <cstdio>

namespace tarnwick {

namespace {

void printDiagnostic(const char* prefix, const QString& message) {
    std::printf("%s%s\n", prefix, message.toLocal8Bit().constData());
    std::fflush(stdout);
}

}  // namespace

void SearchPanel::connectActions() {
    m_results->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_results, &QWidget::customContextMenuRequested, this, &SearchPanel::showContextMenu);
    connect(m_results, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() < m_model->rowCount())
            openItem(m_model->itemAt(index.row()));
    });
}

void SearchPanel::openSelected() {
    if (const std::optional<FileItem> item = selectedItem()) openItem(*item);
}

void SearchPanel::revealSelectedAndClose(quint64 userTime) {
    const std::optional<FileItem> item = selectedItem();
    if (!item) return;
    if (revealItem(*item, userTime)) close();
}

void SearchPanel::revealSelected() {
    if (const std::optional<FileItem> item = selectedItem()) revealItem(*item, lastUserInputTime());
}

void SearchPanel::copySelectedPath() {
    if (const std::optional<FileItem> item = selectedItem()) copyPathOf(*item);
}

void SearchPanel::copySelectedFile() {
    if (const std::optional<FileItem> item = selectedItem()) copyFileOf(*item);
}

void SearchPanel::trashSelected() {
    if (const std::optional<FileItem> item = selectedItem()) trashItem(*item);
}

// The file manager and the default application are handed a whole path or URI, which the kernel
// refuses past PATH_MAX: say so rather than have them fail out of sight.
bool SearchPanel::refuseWholePathCall(const FileItem& item, const QString& whatFails) {
    if (fitsWholePathCalls(item.path())) return false;
    showAlert(whatFails.arg(item.name()));
    return true;
}

void SearchPanel::openItem(const FileItem& item) {
    if (refuseWholePathCall(
            item, tr("“%1” cannot be opened: its path is longer than the 4096 bytes other "
                     "applications accept. Copy File and Move to Trash still work.")))
        return;
    // A failed open (no application, the file gone) shows nothing of ours; the panel goes.
    if (std::optional<QString> error = m_services.opener->open(item.path()))
        printDiagnostic("Open error: ", *error);
    close();
}

bool SearchPanel::revealItem(const FileItem& item, quint64 userTime) {
    if (refuseWholePathCall(
            item, tr("“%1” cannot be shown in the file manager: its path is longer than the "
                     "4096 bytes other applications accept. Copy File and Move to Trash still "
                     "work.")))
        return false;
    m_services.reveal->reveal(item.path(), startupIdFor(userTime));
    return true;
}

void SearchPanel::copyPathOf(const FileItem& item) {
    QGuiApplication::clipboard()->setMimeData(pathPayload(item.path()).release());
}

void SearchPanel::copyFileOf(const FileItem& item) {
    QGuiApplication::clipboard()->setMimeData(filesPayload({item.path()}).release());
}

void SearchPanel::trashItem(const FileItem& item) {
    const QByteArray path = item.path();
    const TrashOutcome outcome = m_services.trash->moveToTrash(path);
    if (!outcome.trashed) {
        showAlert(outcome.message);
        return;
    }
    m_session->removeItems({path});  // with everything below a trashed folder
}

void SearchPanel::showAlert(const QString& message) {
    QMessageBox alert(QMessageBox::Warning, QStringLiteral("Tarnwick"), message, QMessageBox::Ok,
                      this);
    alert.exec();
}

void SearchPanel::showContextMenu(const QPoint& viewportPos) {
    const QModelIndex index = m_results->indexAt(viewportPos);
    if (!index.isValid() || index.row() >= m_model->rowCount()) return;
    m_results->selectRow(index.row());
    if (m_contextMenu) m_contextMenu->close();
    m_contextMenu = buildContextMenu(m_model->itemAt(index.row()));
    m_contextMenu->popup(m_results->viewport()->mapToGlobal(viewportPos));
}

// The item is captured now: a re-publication while the menu is open must not change which
// file the entries act on.
QMenu* SearchPanel::buildContextMenu(const FileItem& item) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(tr("Open"), this, [this, item] { openItem(item); });
    menu->addAction(tr("Reveal in File Manager"), this,
                    [this, item] { revealItem(item, lastUserInputTime()); });
    menu->addSeparator();
    menu->addAction(tr("Copy Path"), this, [this, item] { copyPathOf(item); });
    menu->addAction(tr("Copy File"), this, [this, item] { copyFileOf(item); });
    menu->addSeparator();
    menu->addAction(tr("Move to Trash"), this, [this, item] { trashItem(item); });
    return menu;
}

}  // namespace tarnwick
