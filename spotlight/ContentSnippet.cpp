#include "ContentSnippet.h"

#include "core/FileUri.h"
#include "text/DocumentText.h"
#include "text/PassageFinder.h"
#include "text/PdfReader.h"
#include "text/PlainTextReader.h"

namespace tarnwick {

namespace {

constexpr int kCharactersBefore = 40;
constexpr int kCharactersAfter = 60;

// The first passage of a document's text, streamed.
std::optional<Passage> findPassage(NativeFile& file, DocumentFormat format, const QString& query) {
    PassageFinder finder(query, kCharactersBefore, kCharactersAfter);
    bool wanted = true;
    ReadStatus status;
    if (format == DocumentFormat::plainText) {
        // Read to the end even once the passage is settled: one ill-formed byte anywhere means
        // the file is not UTF-8 text, and then there is no snippet.
        status = readUtf8File(file, [&](QByteArrayView utf8) {
            if (wanted) wanted = finder.feed(QString::fromUtf8(utf8));
            return true;
        });
    } else {
        status = readDocumentText(file, format, kSnippetPdfPages,
                                  [&](QStringView text) { return wanted = finder.feed(text); });
    }
    if (status == ReadStatus::failed) return std::nullopt;
    return finder.finish();
}

QString formatPassage(const Passage& passage) {
    QString text = passage.text;
    text.replace(u'\n', u' ');
    text.replace(QStringLiteral("  "), QStringLiteral(" "));
    if (!passage.atTextStart) text.prepend(u'…');
    if (!passage.atTextEnd) text.append(u'…');
    return text;
}

}  // namespace

std::optional<QString> contentSnippet(const QByteArray& path, const QString& query) {
    if (query.isEmpty()) return std::nullopt;
    const std::optional<ReadableFormat> byName = formatOfName(lastPathComponent(path));
    if (byName && !byName->reader) return contentMatchText();
    NativeFile file = NativeFile::open(path, LinkPolicy::follow);
    if (!file.isOpen()) return std::nullopt;
    const std::optional<DocumentFormat> format = byName ? byName->reader : readerByContent(file);
    if (!format) return contentMatchText();
    const std::optional<Passage> passage = findPassage(file, *format, query);
    if (!passage) return std::nullopt;
    return formatPassage(*passage);
}

}  // namespace tarnwick
