#include "DocumentFixtures.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>

namespace tarnwick::test {

QByteArray makePdf(const QStringList& pageTexts) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(72);
        QPainter painter(&writer);
        QFont font = painter.font();
        font.setPointSize(10);
        painter.setFont(font);
        for (qsizetype i = 0; i < pageTexts.size(); ++i) {
            if (i > 0) writer.newPage();
            if (!pageTexts[i].isEmpty())
                painter.drawText(QRectF(40, 40, 500, 700), Qt::TextWordWrap, pageTexts[i]);
        }
    }
    return buffer.data();
}

QByteArray rtfDocument(const QByteArray& body) {
    return "{\\rtf1\\ansi " + body + "}";
}

void writeFileBytes(const QByteArray& path, const QByteArray& content) {
    int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path.toStdString());
    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, size_t(left));
        if (written <= 0) break;
        data += written;
        left -= written;
    }
    ::close(fd);
}

}  // namespace tarnwick::test
