#include "FileManagerActions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace tarnwick {

const QString FileManagerActions::kThunarActionId =
    QStringLiteral("org.tarnwick.Tarnwick.search-here");

namespace {

const QString kActionName = QStringLiteral("Search with Tarnwick");

bool present(const QString& program, const QString& configFolder) {
    return !QStandardPaths::findExecutable(program).isEmpty() || QFileInfo(configFolder).isDir();
}

}  // namespace

FileManagerActions::FileManagerActions(Locations locations, QByteArray program)
    : m_locations(std::move(locations)), m_program(std::move(program)) {}

FileManagerActions FileManagerActions::forThisUser() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    Locations locations{data + "/nautilus/scripts/" + kActionName, ThunarActionsFile::forThisUser(),
                        present(QStringLiteral("nautilus"), data + "/nautilus"),
                        present(QStringLiteral("thunar"), config + "/Thunar")};
    return FileManagerActions(locations,
                              QFile::encodeName(QCoreApplication::applicationFilePath()));
}

NautilusScriptAction FileManagerActions::nautilus() const {
    return NautilusScriptAction(m_locations.nautilusScript, m_program);
}

ThunarAction FileManagerActions::thunarAction() const {
    ThunarAction action;
    action.uniqueId = kThunarActionId;
    action.name = kActionName;
    action.description = QStringLiteral("Search and filter the files in this folder");
    action.icon = QStringLiteral("org.tarnwick.Tarnwick");
    // Thunar quotes what it puts in place of %f itself.
    action.command = QString::fromLocal8Bit(shellQuoted(m_program)) + QStringLiteral(" %f");
    return action;
}

QStringList FileManagerActions::presentFileManagers() const {
    QStringList names;
    if (m_locations.hasNautilus) names << QStringLiteral("Nautilus");
    if (m_locations.hasThunar) names << QStringLiteral("Thunar");
    return names;
}

bool FileManagerActions::isInstalled() const {
    if (!m_locations.hasNautilus && !m_locations.hasThunar) return false;
    return (!m_locations.hasNautilus || nautilus().isInstalled()) &&
           (!m_locations.hasThunar || m_locations.thunar.contains(kThunarActionId));
}

bool FileManagerActions::install(QStringList* report, QStringList* errors) const {
    QString error;
    if (m_locations.hasNautilus) {
        if (nautilus().install(&error))
            *report << tr("Nautilus: added the script %1").arg(m_locations.nautilusScript);
        else
            *errors << QStringLiteral("Nautilus: %1").arg(error);
    }
    if (m_locations.hasThunar) {
        if (m_locations.thunar.install(thunarAction(), &error))
            *report
                << tr("Thunar: added the custom action to %1").arg(m_locations.thunar.userFile());
        else
            *errors << QStringLiteral("Thunar: %1").arg(error);
    }
    return errors->isEmpty();
}

bool FileManagerActions::remove(QStringList* report, QStringList* errors) const {
    QString error;
    // Removing also where the file manager has gone since: the files may still be there.
    if (nautilus().isInstalled() || m_locations.hasNautilus) {
        if (nautilus().remove(&error))
            *report << tr("Nautilus: no script of ours left");
        else
            *errors << QStringLiteral("Nautilus: %1").arg(error);
    }
    if (m_locations.thunar.contains(kThunarActionId) || m_locations.hasThunar) {
        if (m_locations.thunar.remove(kThunarActionId, &error))
            *report << tr("Thunar: no custom action of ours left");
        else
            *errors << QStringLiteral("Thunar: %1").arg(error);
    }
    return errors->isEmpty();
}

int installFileManagerActions(bool remove) {
    const FileManagerActions actions = FileManagerActions::forThisUser();
    if (!remove && actions.presentFileManagers().isEmpty()) {
        std::printf("%s\n", qPrintable(FileManagerActions::tr(
                                "Neither Nautilus nor Thunar was found; Dolphin and Nemo get "
                                "their action from the package.")));
        return 0;
    }
    QStringList report;
    QStringList errors;
    const bool done = remove ? actions.remove(&report, &errors) : actions.install(&report, &errors);
    for (const QString& line : report) std::printf("%s\n", qPrintable(line));
    for (const QString& line : errors) std::fprintf(stderr, "tarnwick: %s\n", qPrintable(line));
    return done ? 0 : 1;
}

}  // namespace tarnwick
