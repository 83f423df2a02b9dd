#pragma once

#include "platform/xdg/NautilusScriptAction.h"
#include "platform/xdg/ThunarActionsFile.h"

#include <QCoreApplication>
#include <QStringList>

namespace tarnwick {

// "Search with Tarnwick" in the file managers whose custom actions live in the user's own
// folders: a Nautilus script and a Thunar custom action (Dolphin and Nemo get theirs from the
// package). Only file managers found on this system are touched.
class FileManagerActions {
    Q_DECLARE_TR_FUNCTIONS(FileManagerActions)

public:
    struct Locations {
        QString nautilusScript;  // the script's path
        ThunarActionsFile thunar;
        bool hasNautilus = false;
        bool hasThunar = false;
    };

    // `program`: the absolute path the actions run.
    FileManagerActions(Locations locations, QByteArray program);
    // For this user and this program; a file manager counts as present when its program is on
    // PATH or its configuration folder exists.
    static FileManagerActions forThisUser();

    // Names of the file managers found, e.g. "Nautilus", "Thunar".
    QStringList presentFileManagers() const;
    // True when every file manager found has the action.
    bool isInstalled() const;
    // Each adds one line per file manager to `report`; on failure returns false with the reasons
    // in `errors`, having done what it could for the others.
    bool install(QStringList* report, QStringList* errors) const;
    bool remove(QStringList* report, QStringList* errors) const;

    ThunarAction thunarAction() const;
    static const QString kThunarActionId;

private:
    NautilusScriptAction nautilus() const;

    Locations m_locations;
    QByteArray m_program;
};

// `tarnwick --install-file-manager-actions [--remove]`. Returns the exit code: 0 done, 1 a file
// could not be changed.
int installFileManagerActions(bool remove);

}  // namespace tarnwick
