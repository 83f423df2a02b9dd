#pragma once

#include "ThunarCustomActions.h"

#include <QStringList>

namespace tarnwick {

// The user's Thunar custom actions file (~/.config/Thunar/uca.xml), which every custom action
// of the user shares: edits keep all other actions, are written atomically, and a file that
// cannot be parsed is never touched. Before the first edit of an existing file a copy is kept
// beside it (uca.xml.before-tarnwick), and an earlier copy of that name is never overwritten.
class ThunarActionsFile {
public:
    // `systemFiles`: the uca.xml files of the system's configuration folders, the first of
    // which Thunar shows while the user has no file of their own.
    ThunarActionsFile(QString userFile, QStringList systemFiles);

    // For this user: $XDG_CONFIG_HOME/Thunar/uca.xml and $XDG_CONFIG_DIRS/Thunar/uca.xml.
    static ThunarActionsFile forThisUser();

    bool contains(const QString& uniqueId) const;
    // Adds the action, replacing an earlier one with the same unique id.
    bool install(const ThunarAction& action, QString* error) const;
    bool remove(const QString& uniqueId, QString* error) const;

    QString userFile() const { return m_userFile; }
    QString backupFile() const { return m_userFile + QStringLiteral(".before-tarnwick"); }

private:
    // What Thunar reads now: the user's file, else the system's; empty for neither.
    bool readCurrent(QByteArray* content, QString* error) const;
    bool write(const QByteArray& content, QString* error) const;

    QString m_userFile;
    QStringList m_systemFiles;
};

}  // namespace tarnwick
