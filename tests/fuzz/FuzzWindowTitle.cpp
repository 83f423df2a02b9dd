// libFuzzer entry for window titles: every folder path found in a title is one of its pieces
// between separators (trailing slashes dropped), found once, longest first, and confirmed ones
// are picked in that order.
#include "platform/WindowTitlePath.h"

#include <cstdlib>

using namespace tarnwick;

namespace {

const QByteArray kSeparators[] = {" - ", " \xe2\x80\x93 ", " \xe2\x80\x94 "};

bool separatedAt(const QByteArray& title, qsizetype at, bool before) {
    if (before ? at == 0 : at == title.size()) return true;
    for (const QByteArray& separator : kSeparators)
        if (before ? title.left(at).endsWith(separator) : title.mid(at).startsWith(separator))
            return true;
    return false;
}

// `path` plus any slashes stands in the title between separators (or its ends).
bool isPiece(const QByteArray& title, const QByteArray& path) {
    for (qsizetype at = title.indexOf(path); at >= 0; at = title.indexOf(path, at + 1)) {
        qsizetype end = at + path.size();
        while (end < title.size() && title[end] == '/') ++end;
        if (separatedAt(title, at, true) && separatedAt(title, end, false)) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray title(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> paths = folderPathsInTitle(title);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QByteArray& path = paths[i];
        if (!path.startsWith('/') || (path.size() > 1 && path.endsWith('/')) ||
            !isPiece(title, path) || paths.indexOf(path) != i ||
            (i > 0 && paths[i - 1].size() < path.size()))
            std::abort();
    }
    if (title.startsWith('/') && paths.isEmpty()) std::abort();
    const QByteArray confirmed = paths.isEmpty() ? QByteArray() : paths[size % paths.size()];
    const auto picked = folderFromTitle(title, [&](const QByteArray& p) { return p == confirmed; });
    if (picked.value_or(QByteArray()) != confirmed) std::abort();
    return 0;
}
