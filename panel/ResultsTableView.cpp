#include "ResultsTableView.h"

#include <QAccessible>
#include <QScrollBar>

namespace tarnwick {

namespace {

constexpr int kLayoutBatchRows = 5000;

}  // namespace

ResultsTableView::ResultsTableView(QWidget* parent) : QListView(parent) {
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
    // Laying out 100,000 rows at once holds the main thread 5 ms on every publication; in
    // batches the rows on screen come first and the rest follow between other events.
    setLayoutMode(QListView::Batched);
    setBatchSize(kLayoutBatchRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::TabFocus);
    // Rows can be dragged out to other applications as files (copied); nothing drops in.
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    QPalette transparent = palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    setPalette(transparent);
}

void ResultsTableView::selectRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount()) {
        clearSelection();
        setCurrentIndex(QModelIndex());
        scrollToTop();
        return;
    }
    const QModelIndex index = model()->index(row, 0);
    if (!visualRect(index).isValid()) {
        // The row has no place until the batches reach it: lay out the whole list now. Rare:
        // a publication that keeps a selection far down, or a step just after one.
        setLayoutMode(QListView::SinglePass);
        doItemsLayout();
        setLayoutMode(QListView::Batched);
    }
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

int ResultsTableView::selectedRow() const {
    const QModelIndexList selected =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ResultsTableView::stepTo(int row) {
    m_stepping = true;
    const bool stays = currentIndex().isValid() && currentIndex().row() == row;
    selectRow(row);
    // Up on the first row (the one a search selects) or Down on the last: said again.
    if (stays) reportCurrentRowFocused();
    m_stepping = false;
}

void ResultsTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // QListView reports every new current row as focused, a publication's too while the user
    // types in the search field, and a screen reader would leave the field. Only a row in the
    // focused list or one the user stepped to is.
    QAbstractItemView::currentChanged(current, previous);  // skips QListView's report
    reportCurrentRowFocused();
}

void ResultsTableView::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    // Qt reports the list as focused once this returns; the row the keys act on comes next.
    QMetaObject::invokeMethod(this, &ResultsTableView::reportCurrentRowFocused,
                              Qt::QueuedConnection);
}

void ResultsTableView::reportCurrentRowFocused() {
    if (!(hasFocus() || m_stepping) || !currentIndex().isValid() || !QAccessible::isActive())
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(currentIndex().row());
    QAccessible::updateAccessibility(&event);
    m_rowHoldsAccessibleFocus = !hasFocus();
}

void ResultsTableView::returnAccessibleFocus(QWidget* focused) {
    if (!m_rowHoldsAccessibleFocus || !focused->hasFocus()) return;
    m_rowHoldsAccessibleFocus = false;
    QAccessibleEvent event(focused, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

}  // namespace tarnwick
