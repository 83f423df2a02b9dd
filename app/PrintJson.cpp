#include "PrintJson.h"

#include "core/ContentMatch.h"

#include <QDateTime>

#include <sys/stat.h>

namespace tarnwick {

namespace {

// A JSON string of valid UTF-8 text.
QByteArray quoted(const QByteArray& utf8) {
    QByteArray out = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '\\')
            out += '\\', out += c;
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (uchar(c) < 0x20)
            out += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out + '"';
}

const char* kindOf(const FileItem& item) {
    struct stat st;
    if (lstat(item.path().constData(), &st) == 0 && S_ISLNK(st.st_mode)) return "symlink";
    return item.isDirectory() ? "folder" : "file";
}

}  // namespace

QByteArray resultJson(const FileItem& item, Matcher& matcher,
                      const std::optional<QString>& passage) {
    const QByteArray path = item.nativeRelativePath();
    // Decoding replaces each byte that is not UTF-8 with U+FFFD: the text differs from the bytes.
    const QByteArray text = QString::fromUtf8(path).toUtf8();
    QByteArray out = "{\"path\":" + quoted(text);
    if (text != path) out += ",\"path_bytes\":\"" + path.toBase64() + '"';
    out += ",\"kind\":\"" + QByteArray(kindOf(item)) + '"';
    out += ",\"size\":" +
           (item.isDirectory() ? QByteArray("null") : QByteArray::number(item.fileSize()));
    const QByteArray modified = item.hasModified()
                                    ? quoted(QDateTime::fromMSecsSinceEpoch(item.modifiedMsecs())
                                                 .toUTC()
                                                 .toString(Qt::ISODate)
                                                 .toUtf8())
                                    : QByteArray("null");
    out += ",\"modified\":" + modified;
    // The order the results are ranked in: the name, else the path below the folder; a row
    // the query reached through the file's text (or that only the index found) is a content
    // match whatever its name scores.
    std::optional<qint64> score = matcher.scoreName(item);
    const char* match = "name";
    if (!score) {
        score = matcher.scorePath(item);
        match = "path";
    }
    const bool content = passage || !score;
    if (content) match = "content";
    out += ",\"match\":\"" + QByteArray(match) +
           "\",\"score\":" + QByteArray::number(score.value_or(0));
    if (content) {
        // "Content match" stands in the list where no passage could be read: no passage.
        const bool read = passage && *passage != contentMatchText();
        out += ",\"snippet\":" + (read ? quoted(passage->toUtf8()) : QByteArray("null"));
    }
    return out + '}';
}

}  // namespace tarnwick
