#pragma once

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>

#include <fstream>
#include <stdexcept>

namespace tarnwick::test {

// A PDF of one page per entry holding its text (empty: a blank page); needs a QGuiApplication.
inline QByteArray makePdf(const QStringList& pageTexts) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.setFont(QFont(painter.font().family(), 10));
    for (qsizetype i = 0; i < pageTexts.size(); ++i) {
        if (i > 0) writer.newPage();
        painter.drawText(QRectF(40, 40, 500, 700), Qt::TextWordWrap, pageTexts[i]);
    }
    painter.end();
    return buffer.data();
}

inline QByteArray rtfDocument(const QByteArray& body) {
    return "{\\rtf1\\ansi " + body + "}";
}

// Writes `content` to a file at a native path (which need not be UTF-8).
inline void writeFileBytes(const QByteArray& path, const QByteArray& content) {
    std::ofstream file(path.constData(), std::ios::binary);
    if (!file.write(content.data(), content.size()).flush())
        throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace tarnwick::test
