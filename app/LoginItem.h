#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace tarnwick {

// Launch at login through the session's XDG autostart folder: "on" is a user autostart entry
// that the session starts (present, and not Hidden=true), copied from the template the package
// installs under share/tarnwick/autostart; "off" is no entry at all. Nothing is cached: every
// question reads the file again.
class LoginItem {
    Q_DECLARE_TR_FUNCTIONS(LoginItem)

public:
    static constexpr const char* kAppId = "org.tarnwick.Tarnwick";

    // `templateCandidates`: where the template may be, the first existing one wins.
    LoginItem(QString entryPath, QStringList templateCandidates);

    // $XDG_CONFIG_HOME/autostart/org.tarnwick.Tarnwick.desktop, with the template looked for
    // beside the program (../share) and then in the XDG data folders.
    static LoginItem forThisApplication();

    bool isEnabled() const;
    // Adds or removes the entry. A failure prints one "Login item error: " line, sets `error`
    // and changes nothing.
    bool setEnabled(bool enabled, QString* error = nullptr) const;

    QString entryPath() const { return m_entryPath; }

private:
    QString findTemplate() const;

    QString m_entryPath;
    QStringList m_templateCandidates;
};

}  // namespace tarnwick
