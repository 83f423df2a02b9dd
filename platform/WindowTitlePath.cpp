#include "WindowTitlePath.h"

#include "core/FileUri.h"

#include <algorithm>

namespace tarnwick {

namespace {

const QByteArray kSeparators[] = {QByteArray(" - "), QByteArray(" \xe2\x80\x93 "),
                                  QByteArray(" \xe2\x80\x94 ")};

void addCandidate(QList<QByteArray>& candidates, QByteArray text) {
    text = withoutTrailingSlashes(text);
    if (!text.startsWith('/') || candidates.contains(text)) return;
    candidates.append(text);
}

}  // namespace

QList<QByteArray> folderPathsInTitle(const QByteArray& title) {
    QList<QByteArray> candidates;
    addCandidate(candidates, title);
    for (const QByteArray& separator : kSeparators) {
        for (qsizetype at = title.indexOf(separator); at >= 0;
             at = title.indexOf(separator, at + 1)) {
            addCandidate(candidates, title.left(at));
            addCandidate(candidates, title.mid(at + separator.size()));
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const QByteArray& a, const QByteArray& b) { return a.size() > b.size(); });
    return candidates;
}

std::optional<QByteArray> folderFromTitle(const QByteArray& title,
                                          const std::function<bool(const QByteArray&)>& isFolder) {
    for (const QByteArray& candidate : folderPathsInTitle(title))
        if (isFolder(candidate)) return candidate;
    return std::nullopt;
}

}  // namespace tarnwick
