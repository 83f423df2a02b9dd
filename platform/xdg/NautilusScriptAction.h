#pragma once

#include <QByteArray>
#include <QString>

namespace tarnwick {

// A script in Nautilus's Scripts menu (~/.local/share/nautilus/scripts/NAME) that hands the
// selected folder, or else the folder the window shows, to a program. The script carries a
// marker line so that a user's own script of the same name is never overwritten or deleted.
class NautilusScriptAction {
public:
    // `scriptPath`: where the script lives; `program`: absolute path of the program it runs.
    NautilusScriptAction(QString scriptPath, QByteArray program);

    bool isInstalled() const;
    bool install(QString* error) const;
    // Removing a script that is not there succeeds; a foreign script of that name is left alone.
    bool remove(QString* error) const;

    QByteArray scriptText() const;
    QString scriptPath() const { return m_scriptPath; }

private:
    bool isOurs() const;

    QString m_scriptPath;
    QByteArray m_program;
};

// Quotes a word for a POSIX shell (single quotes, with embedded ones escaped).
QByteArray shellQuoted(const QByteArray& word);

}  // namespace tarnwick
