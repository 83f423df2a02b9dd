#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace tarnwick {

class FrontFolderSource;
class SearchPanel;
class TrayMenuIcon;

// The running application: the tray icon and its menu, the global hot key, and the activation
// flow that turns the front file-manager window's folder into a search panel. It holds the only
// reference to the current panel; every activation that opens a panel opens a new one. The next
// panel is kept prepared (built, hidden, not yet on a folder) from launch on and after each
// close, and made while the front folder is asked for when none is ready, so that opening it is
// only the start of its search and the map of its window.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    struct Dependencies {
        std::unique_ptr<FrontFolderSource> frontFolder;
        std::function<void()> beep;
        // A prepared panel (SearchPanel::open gives it its folder).
        std::function<std::unique_ptr<SearchPanel>()> preparePanel;
        // The menu items whose windows live elsewhere.
        std::function<void()> openSettings;
        std::function<void()> checkForUpdates;
    };

    explicit AppDelegate(Dependencies dependencies, QObject* parent = nullptr);
    ~AppDelegate() override;

    // At launch: the tray icon with its menu (the shortcut line as stored now), then the hot key.
    void applicationDidFinishLaunching();
    // At quit: gives the hot key back.
    void applicationWillTerminate();

    // The activation flow (menu item, hot key, `tarnwick --activate`): asks for the front
    // folder; without one, beeps and changes nothing; with one, closes a visible panel, or else
    // opens a new panel on it. Activations while the question is out are answered in turn.
    void activateSearch();
    // `tarnwick FOLDER`: a new panel on `folder`, in place of any panel on screen.
    void openFolder(const QByteArray& folder);

    SearchPanel* searchPanel() const { return m_searchPanel.get(); }
    SearchPanel* preparedPanel() const { return m_preparedPanel.get(); }
    TrayMenuIcon* trayMenuIcon() const { return m_trayMenuIcon.get(); }

private:
    void askFrontFolder();
    void frontFolderAnswered(const std::optional<QByteArray>& folder);
    bool closeVisiblePanel();
    void showNewPanel(const QByteArray& folder);
    void preparePanel();
    void preparePanelSoon();

    Dependencies m_dependencies;
    std::unique_ptr<SearchPanel> m_searchPanel;
    std::unique_ptr<SearchPanel> m_preparedPanel;
    std::unique_ptr<TrayMenuIcon> m_trayMenuIcon;
    bool m_asking = false;
    int m_waitingActivations = 0;
};

}  // namespace tarnwick
