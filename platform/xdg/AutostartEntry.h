#pragma once

#include <QString>

namespace tarnwick {

// What a user's XDG autostart file (`$XDG_CONFIG_HOME/autostart/<id>.desktop`) means to the
// session: only a readable desktop entry without `Hidden=true` starts the program at login.
enum class AutostartState {
    absent,      // no file
    enabled,     // a desktop entry the session starts
    hidden,      // Hidden=true: the session ignores it
    unreadable,  // the file exists but cannot be read
    invalid,     // not a desktop entry (no [Desktop Entry] group, broken syntax)
};

struct AutostartStatus {
    AutostartState state = AutostartState::absent;
    QString detail;  // why a file does not count, for diagnostics
    bool startsAtLogin() const { return state == AutostartState::enabled; }
};

AutostartStatus readAutostartEntry(const QString& entryPath);

// Replaces whatever is at `entryPath` with a copy of `templatePath` (creating the autostart
// folder), atomically, so that a failure leaves the old file in place. The template must itself
// be a desktop entry. On failure returns false and sets `error`.
bool writeAutostartEntry(const QString& templatePath, const QString& entryPath, QString* error);

// Deletes the entry; an absent entry is not an error.
bool removeAutostartEntry(const QString& entryPath, QString* error);

}  // namespace tarnwick
