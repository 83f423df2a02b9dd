#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace tarnwick::cli {

// What a command line asks for, read against the option table before any application object
// exists, so that `--help`, `--version` and a wrong command line need no display and no bus.
struct Invocation {
    enum class Command {
        tray,            // `tarnwick [FOLDER]`
        activate,        // --activate
        settings,        // --settings
        panel,           // --panel FOLDER
        print,           // --print ... FOLDER [QUERY]
        installActions,  // --install-file-manager-actions [--remove]
        version,
        help,
        printHelp,  // --print --help
        wrong,      // see `problem`
    };
    Command command = Command::tray;
    QByteArray folder;  // the FOLDER of the tray, --panel and --print, byte for byte
    QByteArray query;   // --print's QUERY
    // The one line that says what is wrong, with a hint to the help (translated).
    QString problem;

    bool isSet(const char* option) const { return m_values.contains(option); }
    // The last value given, else the option's default (its first choice), else nothing.
    QByteArray value(const char* option) const;
    QList<QByteArray> values(const char* option) const { return m_values.value(option); }

    QHash<QByteArray, QList<QByteArray>> m_values;  // by option name; empty for a switch
};

// `arguments` without the program's name.
Invocation parseCommandLine(const QList<QByteArray>& arguments);
Invocation parseCommandLine(int argc, char** argv);

// A command-line text in the user's language (the English source while none is loaded).
QString text(const char* source);

}  // namespace tarnwick::cli
