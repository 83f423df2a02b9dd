#pragma once

#include "PreviewContent.h"
#include "core/SearchSession.h"
#include "platform/DesktopServices.h"

#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

class QComboBox;
class QFrame;
class QLineEdit;

namespace tarnwick {

class ClickOutsideWatcher;
class FileResultCellView;
class PanelKeys;
class PanelLabel;
class PillRow;
class PreviewWindow;
class ResultsModel;
class ResultsTableView;

// The floating search panel on one folder: a frameless, always-on-top window with rounded
// corners holding the folder's name and the count, the search field, the pill row and sort
// pop-up, and the result list. It owns the folder's SearchSession, forwards the user's edits and
// choices to it and draws what it publishes. Built for one search and never shown again once
// closed. It can be built ahead, before its folder is known (a prepared panel: window, views and
// fonts ready, no session), and opened on a folder later. It is driven from the keyboard (moving
// the selection, stepping into folders and back, previewing) and acts on the selected file through
// the desktop's services.
class SearchPanel : public QWidget {
    Q_OBJECT
public:
    // The desktop's own services. `preview` reads what the preview window shows of a file (the
    // application gives the one that reads documents); without one the preview stays empty.
    SearchPanel(const QByteArray& folder, SearchSession::Dependencies dependencies,
                PreviewLoader preview = {}, QWidget* parent = nullptr);
    SearchPanel(const QByteArray& folder, SearchSession::Dependencies dependencies,
                DesktopServices services, PreviewLoader preview = {}, QWidget* parent = nullptr);
    // A prepared panel: everything but the session, which open() starts.
    SearchPanel(SearchSession::Dependencies dependencies, DesktopServices services,
                PreviewLoader preview = {}, QWidget* parent = nullptr);
    ~SearchPanel() override;

    // Starts the search on `folder`; only the first call does anything.
    void open(const QByteArray& folder);
    bool isOpen() const { return m_session != nullptr; }
    // Does ahead what the first show would do: styles, layout, the native window where that
    // costs nothing later (X11), and the glyphs of the panel's fonts.
    void prepareWindow();

    // Puts the panel on the screen under the pointer, centred, above the middle, with the
    // keyboard in the search field, and starts listening for clicks elsewhere. Only the first
    // call of an open panel does anything, and none after close(). Hides QWidget::show on purpose:
    // the panel is placed, not just made visible.
    void show();
    bool isClosed() const { return m_closed; }

    // Sizes the panel to the number of results, keeping its top edge (and it on its screen).
    void fitPanelHeight();
    // The panel as the user sees it, in global coordinates: the window without the margin that
    // holds its shadow.
    QRect panelRect() const;

    SearchSession& session() { return *m_session; }
    QLineEdit* searchField() const { return m_searchField; }
    ResultsTableView* resultsView() const { return m_results; }
    ResultsModel* resultsModel() const { return m_model; }
    PillRow* pillRow() const { return m_pillRow; }
    QComboBox* sortButton() const { return m_sortButton; }
    PanelLabel* directoryLabel() const { return m_directoryLabel; }
    PanelLabel* countLabel() const { return m_countLabel; }
    // What listens for clicks in other applications while the panel is shown (none before).
    ClickOutsideWatcher* clickOutsideWatcher() const { return m_clickOutside.get(); }

    // --- Keyboard: selection, folders, preview ---------------------------------------------
    // One row down or up, staying at the last or first row; no selection starts at row 0.
    void moveSelectionDown();
    void moveSelectionUp();
    // Steps into the selected folder (a file or no selection: nothing), or back out.
    void enterSelectedFolder();
    void goBack();
    // Whether the panel shows a folder below the one it was opened on.
    bool canGoBack() const;
    // Space: closes a visible preview, else previews the selected file (not a folder).
    void togglePreview();
    // Shows the selected file in a visible preview (a folder or nothing empties it).
    void refreshPreview();
    void closePreview();
    // The preview window, from the first Space on.
    PreviewWindow* previewWindow() const { return m_preview; }

    // --- File actions: each works on the selected item and does nothing without one --------
    // The item at the selected row, when that row is valid.
    std::optional<FileItem> selectedItem() const;
    void openSelected();  // and closes the panel
    // `userTime`: when the user asked (window-system time), so the file manager may come up.
    void revealSelectedAndClose(quint64 userTime);
    void revealSelected();
    void copySelectedPath();
    void copySelectedFile();
    void trashSelected();
    // The context menu while it is open (it acts on the row that was right-clicked).
    QMenu* contextMenu() const { return m_contextMenu; }
    // Opens the context menu for the row under `viewportPos` of the result list; nowhere near
    // a row, no menu.
    void showContextMenu(const QPoint& viewportPos);

Q_SIGNALS:
    // The panel was closed (by Escape, a click elsewhere or close()); emitted once.
    void panelClosed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void buildViews();
    void connectSession();
    void applyColors();
    void layoutViews();
    void showResults(int selectRow);
    void showPills();
    void nameSearchField();
    void setPanelRect(const QRect& rect);
    void connectActions();
    void openItem(const FileItem& item);
    bool revealItem(const FileItem& item, quint64 userTime);
    bool refuseWholePathCall(const FileItem& item, const QString& whatFails);
    void copyPathOf(const FileItem& item);
    void copyFileOf(const FileItem& item);
    void trashItem(const FileItem& item);
    void showAlert(const QString& message);
    QMenu* buildContextMenu(const FileItem& item);

    SearchSession::Dependencies m_dependencies;  // until open() hands them to the session
    SearchSession* m_session = nullptr;
    DesktopServices m_services;
    PanelLabel* m_directoryLabel;
    PanelLabel* m_countLabel;
    QLineEdit* m_searchField;
    PillRow* m_pillRow;
    QComboBox* m_sortButton;
    QFrame* m_separator;
    ResultsTableView* m_results;
    ResultsModel* m_model;
    FileResultCellView* m_cells;
    PanelKeys* m_keys;
    PreviewLoader m_previewLoader;
    PreviewWindow* m_preview = nullptr;
    QPointer<QMenu> m_contextMenu;
    std::unique_ptr<ClickOutsideWatcher> m_clickOutside;
    std::unique_ptr<PanelPlacer> m_placer;  // while shown, where the compositor needs one

    int m_shadowMargin = 0;  // room around the panel for its shadow (translucent windows)
    int m_panelHeight;       // the height the results asked for
    // Where the compositor placed the window unseen by us, the one height it keeps so that it
    // stays on screen (0 where the panel is placed by its rule and grows with its results).
    int m_unplacedHeight = 0;
    bool m_shown = false;
    bool m_closed = false;
    bool m_sizeRestored = false;  // a size imposed from outside was undone since the last set
    bool m_selectingForSession = false;
    std::optional<QPoint> m_dragOffset;  // where a manual drag grabbed the panel
};

}  // namespace tarnwick
