#include "ReadableFormats.h"

#include <QMimeDatabase>

#include <algorithm>

namespace tarnwick {

namespace {

// One row per family of MIME types; adding a format is one row here plus its reader. A type
// belongs to a row when it is the row's type, an alias of it or derived from it ("image/*": every
// image type), and takes each column from the first row it belongs to that fills that column. So
// an SVG drawing previews as a picture and is read as the text it is (it derives from text/plain),
// and every source, markup and configuration type is plain text.
struct FormatRow {
    QLatin1StringView type;
    std::optional<DocumentFormat> reader;
    std::optional<PreviewKind> preview;
};

constexpr FormatRow kFormats[] = {
    {QLatin1StringView("application/pdf"), DocumentFormat::pdf, PreviewKind::pdfPage},
    {QLatin1StringView("text/rtf"), DocumentFormat::rtf, PreviewKind::text},
    {QLatin1StringView("image/*"), std::nullopt, PreviewKind::image},
    {QLatin1StringView("text/plain"), DocumentFormat::plainText, PreviewKind::text},
};

bool belongsTo(const QMimeType& type, QLatin1StringView family) {
    if (family.endsWith(QLatin1StringView("/*"))) return type.name().startsWith(family.chopped(1));
    return type.inherits(family);
}

}  // namespace

ReadableFormat readableFormat(const QList<QMimeType>& types) {
    std::optional<DocumentFormat> reader;
    std::optional<PreviewKind> preview;
    for (const FormatRow& row : kFormats) {
        const bool belongs = std::any_of(types.begin(), types.end(), [&row](const QMimeType& t) {
            return belongsTo(t, row.type);
        });
        if (!belongs) continue;
        if (!reader) reader = row.reader;
        if (!preview) preview = row.preview;
    }
    return {reader, preview.value_or(PreviewKind::facts)};
}

std::optional<ReadableFormat> formatOfName(QByteArrayView fileName) {
    const QList<QMimeType> types =
        QMimeDatabase().mimeTypesForFileName(QString::fromUtf8(fileName));
    if (types.isEmpty()) return std::nullopt;
    return readableFormat(types);
}

ReadableFormat formatOfContent(QByteArrayView firstBytes) {
    if (firstBytes.isEmpty()) return {};
    ReadableFormat format =
        readableFormat({QMimeDatabase().mimeTypeForData(firstBytes.toByteArray())});
    // Text at its start that holds a NUL further on is binary data.
    if (format.reader == DocumentFormat::plainText && firstBytes.contains('\0'))
        format.reader.reset();
    return format;
}

}  // namespace tarnwick
