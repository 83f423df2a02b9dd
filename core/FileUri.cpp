#include "FileUri.h"

namespace tarnwick {

namespace {
const QByteArray kPathSafe = QByteArrayLiteral("/!$&'()*+,;=:@");
}

QString fileUriFromPath(const QByteArray& nativePath) {
    return QString::fromLatin1("file://" + nativePath.toPercentEncoding(kPathSafe));
}

std::optional<QByteArray> pathFromFileUri(QByteArrayView uri) {
    constexpr QByteArrayView scheme("file://");
    if (!uri.startsWith(scheme)) return std::nullopt;
    QByteArrayView rest = uri.sliced(scheme.size());
    constexpr QByteArrayView localhost("localhost");
    if (rest.startsWith(localhost)) rest = rest.sliced(localhost.size());
    if (!rest.startsWith('/')) return std::nullopt;
    return QByteArray::fromPercentEncoding(rest.toByteArray());
}

QByteArray withoutTrailingSlashes(QByteArray path) {
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    return path;
}

QByteArray lastPathComponent(const QByteArray& path) {
    if (path == "/") return path;
    qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QByteArray relativePath(const QByteArray& base, const QByteArray& path) {
    if (path == base) return {};
    qsizetype cut = base == "/" ? 1 : base.size() + 1;
    return path.mid(cut);
}

}  // namespace tarnwick
