#pragma once

#include <QByteArray>
#include <QList>

#include <memory>

class QMimeData;

namespace tarnwick {

// What the clipboard and drags carry for files, built from native path bytes so that names that
// are not valid UTF-8 arrive unchanged.

// The path itself as plain text (its bytes as they are).
std::unique_ptr<QMimeData> pathPayload(const QByteArray& path);

// The files themselves, as every common file manager pastes them: a URI list, the GNOME and MATE
// "copy" lists and KDE's not-cut marker.
std::unique_ptr<QMimeData> filesPayload(const QList<QByteArray>& paths);

// text/uri-list content: one percent-encoded file URI per line, each line ended by CR LF.
QByteArray uriList(const QList<QByteArray>& paths);

// The GNOME/MATE clipboard list: "copy", then one URI per line, with no newline at the end
// (Nautilus refuses empty lines).
QByteArray copiedFilesList(const QList<QByteArray>& paths);

}  // namespace tarnwick
