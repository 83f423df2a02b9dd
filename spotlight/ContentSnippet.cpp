#include "ContentSnippet.h"

#include "core/ExtensionKey.h"
#include "core/FileUri.h"
#include "text/DocumentText.h"
#include "text/PassageFinder.h"
#include "text/PdfReader.h"
#include "text/PlainTextReader.h"

#include <QStringList>

namespace tarnwick {

namespace {

constexpr int kCharactersBefore = 40;
constexpr int kCharactersAfter = 60;

const QStringList kPlainTextExtensions = {
    QStringLiteral("txt"),  QStringLiteral("md"),  QStringLiteral("csv"),
    QStringLiteral("json"), QStringLiteral("xml"), QStringLiteral("html"),
};

std::optional<DocumentFormat> formatForExtension(const QString& extension) {
    if (extension == QLatin1String("pdf")) return DocumentFormat::pdf;
    if (extension == QLatin1String("rtf") || extension == QLatin1String("rtfd"))
        return DocumentFormat::rtf;
    if (kPlainTextExtensions.contains(extension)) return DocumentFormat::plainText;
    return std::nullopt;
}

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
    const QString extension = extensionOf(QString::fromUtf8(lastPathComponent(path)));
    const std::optional<DocumentFormat> format = formatForExtension(extension);
    if (!format) return kContentMatchText;
    NativeFile file = NativeFile::open(path, LinkPolicy::follow);
    if (!file.isOpen()) return std::nullopt;
    const std::optional<Passage> passage = findPassage(file, *format, query);
    if (!passage) return std::nullopt;
    return formatPassage(*passage);
}

}  // namespace tarnwick
