#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace tarnwick {

// What the preview shows of one file. Read on a background thread: no pixmaps or icons here,
// only images and text, and the type name whose icon the window looks up itself.
struct PreviewContent {
    enum class Kind {
        empty,    // nothing selected, or a folder
        image,    // a picture, turned upright and scaled to fit
        pdfPage,  // the first page of a PDF, rendered
        text,     // the start of a text or source file
        facts,    // anything else: its icon, name, size, type and date
    };
    Kind kind = Kind::empty;
    QImage image;
    QString text;
    bool textCut = false;  // only the first kTextPreviewBytes are shown

    QString name;
    QString sizeText;
    QString typeName;     // MIME type, for the icon
    QString typeComment;  // the type in words ("plain text document")
    QString dateText;
};

inline constexpr qint64 kTextPreviewBytes = 256 * 1024;

// Decides what to show for the file at `path` (native bytes) and reads it: pictures and PDF
// pages scaled to fit `bounds`, text decoded as UTF-8 (invalid bytes become U+FFFD). Folders
// give an empty content. Slow (reads and renders): call it off the main thread.
PreviewContent loadPreviewContent(const QByteArray& path, QSize bounds);

}  // namespace tarnwick
