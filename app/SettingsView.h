#pragma once

#include "SettingsServices.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QLabel;
class QMessageBox;
class QPushButton;
class QSpinBox;

namespace tarnwick {

class SettingsGroup;
class SettingsKeyCap;
class SettingsSwitch;

// The settings window, "Tarnwick Settings": what the shortcut does, "Show hidden files in
// results", "Launch at login" and the memory for listings kept between panels, the keys of the
// search panel, and the file-manager actions. Created once and kept; closing hides it. Nothing is
// cached: each time the window is shown or comes to the front it reads the preference, the
// autostart entry and the shortcut anew.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    explicit SettingsView(SettingsServices services, QWidget* parent = nullptr);

    static SettingsView& shared();
    void showAndRaise();

    // Reads everything shown anew.
    void refresh();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    SettingsGroup* buildBehaviour();
    SettingsGroup* buildKeyboard();
    SettingsGroup* buildFileManagers();
    SettingsGroup* buildGnomeShortcut();
    void setShowHiddenFiles(bool on);
    void setLaunchAtLogin(bool on);
    void setKeepListings(bool on);
    void setKeptListingsMegabytes(int megabytes);
    void showKeptListings();
    void showSaveFailure(const QString& message);
    void toggleFileManagerActions();
    void toggleGnomeShortcut();
    void enableGnomeExtension();
    void refreshGnomeExtension(const QString& shortcut);
    void refreshFileManagers();
    void refreshGnomeShortcut(const QString& shortcut);

    SettingsServices m_services;
    QLabel* m_headerText = nullptr;
    SettingsSwitch* m_hiddenFiles = nullptr;
    SettingsSwitch* m_launchAtLogin = nullptr;
    SettingsSwitch* m_keepListings = nullptr;
    QSpinBox* m_keptMegabytes = nullptr;
    QList<SettingsKeyCap*> m_keyCaps;
    SettingsGroup* m_fileManagerGroup = nullptr;
    QLabel* m_fileManagerStatus = nullptr;
    QPushButton* m_fileManagerButton = nullptr;
    SettingsGroup* m_gnomeGroup = nullptr;
    QLabel* m_gnomeStatus = nullptr;
    QPushButton* m_gnomeButton = nullptr;
    QPointer<QMessageBox> m_saveFailure;
    QLabel* m_extensionStatus = nullptr;
    QPushButton* m_extensionButton = nullptr;
    QWidget* m_extensionRow = nullptr;
    QWidget* m_gnomeRow = nullptr;
};

}  // namespace tarnwick
