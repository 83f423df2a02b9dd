#include "ResultText.h"

#include "core/ExtensionKey.h"

#include <QChar>
#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace tarnwick {

namespace {

const QString kEllipsis = QStringLiteral("\u2026");
const QString kMetaSeparator = QStringLiteral("  \u00b7  ");

QList<TextRange> merged(QList<TextRange> ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const TextRange& a, const TextRange& b) { return a.start < b.start; });
    QList<TextRange> out;
    for (const TextRange& range : ranges) {
        if (!out.isEmpty() && range.start < out.last().end()) {
            out.last().length = std::max(out.last().end(), range.end()) - out.last().start;
        } else {
            out.append(range);
        }
    }
    return out;
}

}  // namespace

QList<TextRange> highlightRanges(const QString& name, const QString& query) {
    QList<TextRange> ranges;
    const QList<QStringView> words = QStringView(query).split(QChar(u' '), Qt::SkipEmptyParts);
    for (QStringView word : words) {
        qsizetype from = 0;
        while (true) {
            const qsizetype at = QStringView(name).indexOf(word, from, Qt::CaseInsensitive);
            if (at < 0) break;
            ranges.append({int(at), int(word.size())});
            from = at + word.size();
        }
    }
    return merged(ranges);
}

std::optional<ElisionCut> middleElisionCut(const QString& original, const QString& elided) {
    if (elided == original || elided.size() >= original.size()) return std::nullopt;
    int head = 0;
    while (head < elided.size() && elided[head] == original[head]) ++head;
    // The first unit that differs is the ellipsis; everything after it is the original's end.
    if (elided.mid(head, kEllipsis.size()) != kEllipsis) return std::nullopt;
    const int tail = int(elided.size()) - head - int(kEllipsis.size());
    if (!original.endsWith(QStringView(elided).right(tail))) return std::nullopt;
    return ElisionCut{head, tail};
}

QList<TextRange> rangesAfterElision(const QList<TextRange>& ranges, int originalLength,
                                    ElisionCut cut) {
    const int tailStart = originalLength - cut.tail;
    const int ellipsisAt = cut.head;
    const int ellipsisLength = int(kEllipsis.size());
    const int shift = ellipsisAt + ellipsisLength - tailStart;  // moves the tail into place
    QList<TextRange> out;
    for (const TextRange& range : ranges) {
        if (range.start < cut.head)
            out.append({range.start, std::min(range.end(), cut.head) - range.start});
        if (range.start < tailStart && range.end() > cut.head)
            out.append({ellipsisAt, ellipsisLength});
        if (range.end() > tailStart) {
            const int start = std::max(range.start, tailStart);
            out.append({start + shift, range.end() - start});
        }
    }
    return merged(out);
}

SecondLine secondLine(const FileItem& item, const std::optional<QString>& snippet) {
    if (snippet) return {*snippet, SecondLine::snippet};
    const QString relative = item.relativeDirectory();
    if (!relative.isEmpty()) return {relative, SecondLine::location};
    if (item.isDirectory())
        return {QCoreApplication::translate("ResultText", "Folder"), SecondLine::location};
    const QString extension = extensionOf(item.name());
    if (!extension.isEmpty()) return {extension.toUpper(), SecondLine::location};
    return {QCoreApplication::translate("ResultText", "File"), SecondLine::location};
}

QString sizeText(qint64 bytes, const QLocale& locale) {
    // Qt's own text for a size under a kilobyte has one form for every count ("1 bytes").
    if (bytes >= 0 && bytes < 1000)
        return QCoreApplication::translate("ResultText", "%n bytes", nullptr, int(bytes));
    return locale.formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString metaText(const FileItem& item, const QString& age, const QLocale& locale) {
    // A folder has no size to show, nor an entry gone since it was listed.
    if (!item.hasSize()) return age;
    const QString size = sizeText(item.fileSize(), locale);
    if (age.isEmpty()) return size;
    return size + kMetaSeparator + age;
}

QString rowReading(const FileItem& item, const std::optional<QString>& passage, const QString& kind,
                   const QString& age, const QLocale& locale) {
    QStringList parts{item.name()};
    if (passage)
        parts.append(*passage);
    else if (const QString folder = item.relativeDirectory(); !folder.isEmpty())
        parts.append(QCoreApplication::translate("tarnwick::ResultText", "in %1").arg(folder));
    parts.append(kind);
    if (!item.isDirectory()) parts.append(sizeText(item.fileSize(), locale));
    if (!age.isEmpty()) parts.append(age);
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

}  // namespace tarnwick
