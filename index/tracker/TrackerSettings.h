#pragma once

#include <QByteArray>
#include <QList>

namespace tarnwick {

// What the desktop's file miner and its extractor are configured to index, read from their
// GSettings (the same store the miner reads, so that our idea of "indexed" matches its own).
struct TrackerSettings {
    // Absolute folders, as the miner spells them after expanding its special names.
    QList<QByteArray> recursiveFolders;
    QList<QByteArray> singleFolders;  // only their direct children are indexed
    // Glob patterns (GLib's: * and ?) on entry names that the miner skips.
    QList<QByteArray> ignoredFiles;
    QList<QByteArray> ignoredFolders;
    // Names whose presence in a folder keeps the miner out of that folder's content (.git ...).
    QList<QByteArray> contentBlockingNames;
    // Glob patterns on names of plain-text files whose text the extractor reads.
    QList<QByteArray> textAllowlist;
    // How many bytes of text the extractor keeps per file.
    qint64 maxExtractedBytes = 1048576;

    // The miner's and extractor's settings; empty folder lists when their schemas are missing.
    static TrackerSettings fromGSettings();
};

// One entry of the miner's folder lists made absolute the way the miner does it: "&DESKTOP",
// "&DOCUMENTS" ... name XDG user folders (dropped when unset or equal to $HOME), "~" and "$VAR"
// are expanded, relative paths are taken from the current directory, trailing '/' removed.
// Empty when the entry names no folder.
QByteArray expandIndexedFolder(const QByteArray& entry);

}  // namespace tarnwick
