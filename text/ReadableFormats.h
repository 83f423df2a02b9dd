#pragma once

#include <QByteArrayView>
#include <QList>
#include <QMimeType>

#include <optional>

namespace tarnwick {

// The text readers, one per document format (readDocumentText picks the reader).
enum class DocumentFormat : quint8 { plainText, rtf, pdf };

// What the preview window shows of a file.
enum class PreviewKind : quint8 {
    facts,    // its icon, name, size, type and date
    text,     // the start of its text
    image,    // the picture
    pdfPage,  // the first page, rendered
};

// What is done with the files of a type. A type with a text reader is read by the scanner and
// gets a passage as its content snippet, and its text preview shows what the reader reads (plain
// text as it is); a type without one is never read for its text.
struct ReadableFormat {
    std::optional<DocumentFormat> reader;
    PreviewKind preview = PreviewKind::facts;
};

// How many first bytes of a file whose name tells nothing decide its format.
inline constexpr qsizetype kFormatSniffBytes = 4096;

// The format of files of these types (a name may have several: ".ts" is a translation or a
// video), as the table in ReadableFormats.cpp gives it.
ReadableFormat readableFormat(const QList<QMimeType>& types);

// The format a file's name gives through the MIME database's patterns, or nothing when the
// database knows no type for the name: then its first bytes decide (formatOfContent).
std::optional<ReadableFormat> formatOfName(QByteArrayView fileName);

// The format of a file by its first bytes. Data that is not text by its start, or that holds a
// NUL byte, is not read as plain text.
ReadableFormat formatOfContent(QByteArrayView firstBytes);

}  // namespace tarnwick
