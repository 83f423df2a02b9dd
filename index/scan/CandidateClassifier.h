#pragma once

#include "core/FileItem.h"

#include <QByteArray>
#include <QHash>
#include <QMimeDatabase>

#include <optional>

namespace tarnwick {

// How a candidate file's text is read.
enum class CandidateFormat : quint8 {
    plainText,
    rtf,
    pdf,
    sniffed,  // the name says nothing: its first bytes decide whether it is text
};

// Decides by a file's name which files have text worth reading: the plain-text extensions
// (txt md csv json xml html), PDF and RTF, and every MIME type that is text (text/*, types that
// derive from text/plain, and the usual text-like application types). Names the MIME database
// does not know are left to their content. Decisions are remembered per extension, since a
// listing repeats a few extensions over and over. Not thread-safe: one per walk.
class CandidateClassifier {
public:
    std::optional<CandidateFormat> classify(QByteArrayView fileName);

private:
    std::optional<CandidateFormat> classifyByMimeType(QByteArrayView fileName) const;

    QMimeDatabase m_mimeDatabase;
    QHash<QByteArray, std::optional<CandidateFormat>> m_byExtension;
};

// True for a MIME type whose files are text.
bool isTextMimeType(const QMimeType& type);

// Whether the first bytes of a file whose name told nothing are text.
bool looksLikeText(QByteArrayView firstBytes);

}  // namespace tarnwick
