// The panel's keyboard operations on its results: moving the selection, stepping into folders
// and back, and the preview of the selected file.

#include "PreviewWindow.h"
#include "ResultsModel.h"
#include "ResultsTableView.h"
#include "SearchPanel.h"

#include <algorithm>

namespace tarnwick {

void SearchPanel::moveSelectionDown() {
    const int count = m_model->rowCount();
    if (count == 0) return;
    m_results->stepTo(std::min(m_results->selectedRow() + 1, count - 1));
    refreshPreview();
}

void SearchPanel::moveSelectionUp() {
    if (m_model->rowCount() == 0) return;
    m_results->stepTo(std::max(m_results->selectedRow() - 1, 0));
    refreshPreview();
}

void SearchPanel::enterSelectedFolder() {
    const std::optional<FileItem> item = selectedItem();
    if (!item || !item->isDirectory()) return;
    m_session->enterFolder(item->path());  // empties the query, and so the field
}

void SearchPanel::goBack() {
    m_session->goBack();
}

bool SearchPanel::canGoBack() const {
    const SearchScope& scope = m_session->scope();
    return scope.currentDirectory() != scope.rootDirectory();
}

std::optional<FileItem> SearchPanel::selectedItem() const {
    const int row = m_results->selectedRow();
    if (row < 0 || row >= m_model->rowCount()) return std::nullopt;
    return m_model->itemAt(row);
}

void SearchPanel::togglePreview() {
    if (m_preview && m_preview->isVisible()) {
        closePreview();
        return;
    }
    const std::optional<FileItem> item = selectedItem();
    if (!item || item->isDirectory()) return;
    if (!m_preview) m_preview = new PreviewWindow(m_previewLoader, this);
    m_preview->showFile(item->path());
    m_preview->showBeside(panelRect());
}

void SearchPanel::refreshPreview() {
    if (!m_preview || !m_preview->isVisible()) return;
    const std::optional<FileItem> item = selectedItem();
    std::optional<QByteArray> path;
    if (item && !item->isDirectory()) path = item->path();
    if (path != m_preview->shownPath()) m_preview->showFile(path);
}

void SearchPanel::closePreview() {
    if (m_preview && m_preview->isVisible()) m_preview->hide();
}

}  // namespace tarnwick
