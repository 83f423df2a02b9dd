#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarnwick {

// file:// URIs built from native path bytes, as GLib writes them: every byte outside the
// unreserved set and the path's sub-delimiters is percent-encoded, so names that are not valid
// UTF-8 survive the round trip (QUrl::fromLocalFile does not keep them).
QString fileUriFromPath(const QByteArray& nativePath);

// The native path of a file:// URI ("file:///p" or "file://localhost/p"); nothing for any other
// scheme or host.
std::optional<QByteArray> pathFromFileUri(QByteArrayView uri);

// "/a/b/" -> "/a/b"; "/" stays "/"; "" stays "".
QByteArray withoutTrailingSlashes(QByteArray path);

// Last path component of a path without trailing slash ("/" for the root itself).
QByteArray lastPathComponent(const QByteArray& path);

// The relative-path rule: `path` relative to `base` (both without trailing '/', except for the
// root "/"), taken as text: empty when equal, otherwise the characters after base and its '/'.
QByteArray relativePath(const QByteArray& base, const QByteArray& path);

}  // namespace tarnwick
