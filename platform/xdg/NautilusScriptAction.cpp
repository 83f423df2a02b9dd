#include "NautilusScriptAction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "FailWith.h"
#include "SafeFileWrite.h"

namespace tarnwick {

namespace {

const QByteArray kMarker = "# tarnwick-file-manager-action";

}  // namespace

QByteArray shellQuoted(const QByteArray& word) {
    QByteArray quoted = word;
    quoted.replace('\'', "'\\''");
    return '\'' + quoted + '\'';
}

NautilusScriptAction::NautilusScriptAction(QString scriptPath, QByteArray program)
    : m_scriptPath(std::move(scriptPath)), m_program(std::move(program)) {}

QByteArray NautilusScriptAction::scriptText() const {
    const QByteArray program = shellQuoted(m_program);
    // Nautilus runs scripts in the shown folder, with the selected items as arguments.
    return "#!/bin/sh\n" + kMarker +
           "\n"
           "# Searches the selected folder, or else the folder this window shows.\n"
           "for item in \"$@\"; do\n"
           "    case $item in /*) ;; *) item=\"$PWD/$item\" ;; esac\n"
           "    if [ -d \"$item\" ]; then exec " +
           program +
           " \"$item\"; fi\n"
           "done\n"
           "exec " +
           program + " \"$PWD\"\n";
}

bool NautilusScriptAction::isOurs() const {
    QFile file(m_scriptPath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return file.read(4096).contains(kMarker);
}

bool NautilusScriptAction::isInstalled() const {
    return isOurs() && QFileInfo(m_scriptPath).isExecutable();
}

bool NautilusScriptAction::install(QString* error) const {
    const QFileInfo info(m_scriptPath);
    if (info.exists() && !isOurs())
        return failWith(error,
                        QCoreApplication::translate("NautilusScriptAction",
                                                    "%1 exists and is not ours; left as it is")
                            .arg(m_scriptPath));
    if (!QDir().mkpath(info.absolutePath()))
        return failWith(error, QCoreApplication::translate("NautilusScriptAction",
                                                           "cannot create the folder %1")
                                   .arg(info.absolutePath()));
    // Executable before it takes the old script's place, so that Nautilus never meets a script
    // it cannot run.
    const auto executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                            QFileDevice::ReadOther | QFileDevice::ExeOther;
    return replaceFileContent(m_scriptPath, scriptText(), executable, error);
}

bool NautilusScriptAction::remove(QString* error) const {
    if (!QFileInfo::exists(m_scriptPath) || !isOurs()) return true;
    QFile file(m_scriptPath);
    if (!file.remove())
        return failWith(error,
                        QCoreApplication::translate("NautilusScriptAction", "cannot delete %1: %2")
                            .arg(m_scriptPath, file.errorString()));
    return true;
}

}  // namespace tarnwick
