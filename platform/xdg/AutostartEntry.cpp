#include "AutostartEntry.h"

#include "DesktopEntryFile.h"
#include "FailWith.h"
#include "SafeFileWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarnwick {

namespace {

constexpr const char* kDesktopEntry = "Desktop Entry";

}  // namespace

AutostartStatus readAutostartEntry(const QString& entryPath) {
    DesktopEntryFile entry;
    switch (entry.loadFile(entryPath)) {
        case DesktopEntryFile::LoadResult::missing:
            return {AutostartState::absent, {}};
        case DesktopEntryFile::LoadResult::unreadable:
            return {AutostartState::unreadable, entry.loadError()};
        case DesktopEntryFile::LoadResult::invalid:
            return {AutostartState::invalid, entry.loadError()};
        case DesktopEntryFile::LoadResult::loaded:
            break;
    }
    if (!entry.hasGroup(kDesktopEntry))
        return {AutostartState::invalid, QStringLiteral("no [Desktop Entry] group")};
    if (entry.boolean(kDesktopEntry, "Hidden").value_or(false))
        return {AutostartState::hidden, QStringLiteral("Hidden=true")};
    return {AutostartState::enabled, {}};
}

bool writeAutostartEntry(const QString& templatePath, const QString& entryPath, QString* error) {
    QFile source(templatePath);
    if (!source.open(QIODevice::ReadOnly))
        return failWith(error, QCoreApplication::translate(
                                   "AutostartEntry", "cannot read the autostart template %1: %2")
                                   .arg(templatePath, source.errorString()));
    const QByteArray content = source.readAll();
    DesktopEntryFile check;
    if (check.loadData(content) != DesktopEntryFile::LoadResult::loaded ||
        !check.hasGroup(kDesktopEntry))
        return failWith(
            error, QCoreApplication::translate("AutostartEntry",
                                               "the autostart template %1 is not a desktop entry")
                       .arg(templatePath));

    const QString folder = QFileInfo(entryPath).absolutePath();
    if (!QDir().mkpath(folder))
        return failWith(error,
                        QCoreApplication::translate("AutostartEntry", "cannot create the folder %1")
                            .arg(folder));
    // A directory in the file's place would otherwise be reported as a rename failure.
    if (QFileInfo(entryPath).isDir())
        return failWith(
            error, QCoreApplication::translate("AutostartEntry", "%1 is a folder").arg(entryPath));
    return replaceFileContent(entryPath, content, std::nullopt, error);
}

bool removeAutostartEntry(const QString& entryPath, QString* error) {
    const QFileInfo info(entryPath);
    if (!info.exists() && !info.isSymLink()) return true;
    if (info.isDir())
        return failWith(
            error, QCoreApplication::translate("AutostartEntry", "%1 is a folder").arg(entryPath));
    QFile file(entryPath);
    if (!file.remove())
        return failWith(error, QCoreApplication::translate("AutostartEntry", "cannot delete %1: %2")
                                   .arg(entryPath, file.errorString()));
    return true;
}

}  // namespace tarnwick
