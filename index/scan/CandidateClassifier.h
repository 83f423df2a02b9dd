#pragma once

#include "text/ReadableFormats.h"

#include <QByteArray>
#include <QHash>

#include <optional>

namespace tarnwick {

// How a candidate's text is read.
struct CandidateFormat {
    // Nothing when its name told nothing: then its first bytes decide (readerByContent).
    std::optional<DocumentFormat> reader;

    bool operator==(const CandidateFormat&) const = default;
};

// Decides by a file's name which files have text worth reading: those whose type has a text
// reader (formatOfName), and those whose name the MIME database does not know, left to their
// content. Decisions are remembered per extension, since a listing repeats a few extensions over
// and over. Not thread-safe: one per walk.
class CandidateClassifier {
public:
    std::optional<CandidateFormat> classify(QByteArrayView fileName);

private:
    QHash<QByteArray, std::optional<CandidateFormat>> m_byExtension;
};

}  // namespace tarnwick
