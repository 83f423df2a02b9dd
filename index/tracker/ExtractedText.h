#pragma once

#include "NamePatterns.h"

#include <QByteArray>
#include <QByteArrayView>

namespace tarnwick {

// Which files the Tracker extractor reads the text of, judged from the name (its MIME type by
// shared-mime-info's globs, as the miner finds it) and, for plain text, from the file's head.
class ExtractedText {
public:
    enum class Kind {
        none,       // no extractor stores this file's text
        plainText,  // the text extractor, when the name passes its allowlist
        document,   // an extractor for a document format (PDF, office, HTML, e-book)
    };

    explicit ExtractedText(NamePatterns textAllowlist);

    Kind kindOf(QByteArrayView name) const;

    // The text extractor gives up on a file whose first 64 KiB chunk holds no line break, and
    // misreads one holding a NUL byte (it takes it for UTF-16): true when neither happens.
    static bool plainTextHeadIsReadable(const QByteArray& path, qint64 size);

private:
    NamePatterns m_textAllowlist;
};

}  // namespace tarnwick
