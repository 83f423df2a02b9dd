// libFuzzer entry for the match score: a query against names in one folder (the matcher caches
// what the folder contributes) scores what the plain rules of the tests give, by name and by path.
#include "FuzzInput.h"
#include "core/FileItem.h"
#include "tests/support/ReferenceScore.h"

#include <cstdlib>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = fuzz::fields(data, size, 3);
    const QString query = QString::fromUtf8(parts[0]);
    QByteArrayList folders;
    for (const QByteArray& folder : parts[1].split('/'))
        if (!folder.isEmpty() && folder != "." && folder != "..") folders.append(folder);
    const QByteArray dir = folders.join('/');
    const PreparedQuery prepared(query);
    Matcher matcher(prepared);
    for (const QByteArray& name : parts[2].split('\n')) {
        if (name.isEmpty() || name.contains('/') || name == "." || name == "..") continue;
        const FileItem item = FileItem::fromPath(
            "/root/" + (dir.isEmpty() ? name : dir + '/' + name), "/root", false, 0);
        const std::optional<qint64> expected = test::referenceScore(query, QString::fromUtf8(name));
        const std::optional<qint64> path =
            dir.isEmpty() ? std::nullopt
                          : test::referenceScore(query, QString::fromUtf8(dir + '/' + name));
        if (matchScore(query, QString::fromUtf8(name)) != expected ||
            matcher.scoreName(item) != expected || matcher.scorePath(item) != path ||
            matcher.score(item) != (expected ? expected : path))
            std::abort();
    }
    return 0;
}
