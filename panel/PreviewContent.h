#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

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
    bool textCut = false;  // only the start is shown (kTextPreviewBytes, or as many characters)

    QString name;
    QString sizeText;
    QString typeName;     // MIME type, for the icon
    QString typeComment;  // the type in words ("plain text document")
    QString dateText;
};

inline constexpr qint64 kTextPreviewBytes = 256 * 1024;

// Decides what to show for the file at `path` (native bytes) and reads it, pictures and pages
// scaled to fit `bounds`; a folder gives an empty content. The application gives the panel the
// one that reads documents; it is called off the main thread.
using PreviewLoader = std::function<PreviewContent(const QByteArray& path, QSize bounds)>;

}  // namespace tarnwick
