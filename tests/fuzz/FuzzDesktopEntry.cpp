// libFuzzer entry for desktop entries: any bytes, read from a file as the autostart check reads
// them, give the state that the entry's parsed keys call for.
#include "platform/xdg/AutostartEntry.h"
#include "platform/xdg/DesktopEntryFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    QFile file(folder.filePath(QStringLiteral("tarnwick.desktop")));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) std::abort();
    file.close();
    DesktopEntryFile entry;
    const bool loaded = entry.loadData(content) == DesktopEntryFile::LoadResult::loaded;
    const bool isEntry = loaded && entry.hasGroup("Desktop Entry");
    const AutostartState expected = !isEntry ? AutostartState::invalid
                                    : entry.boolean("Desktop Entry", "Hidden").value_or(false)
                                        ? AutostartState::hidden
                                        : AutostartState::enabled;
    const AutostartStatus status = readAutostartEntry(file.fileName());
    // The keys the settings window shows, read for the sanitizers' sake.
    entry.string("Desktop Entry", "Exec"), entry.string("Desktop Entry", "Name[de]");
    if (status.state != expected || loaded != entry.loadError().isEmpty()) std::abort();
    return 0;
}
