#include "TestCorpus.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick::test {

namespace {

QByteArray pdfShowing(const QByteArray& text) {
    const QByteArray stream = "BT /F1 24 Tf 72 700 Td (" + text + ") Tj ET";
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(stream.size()) + " >>\nstream\n" + stream +
            "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace

QString foldForMatching(const QString& text) {
    const QString decomposed = text.toCaseFolded().normalized(QString::NormalizationForm_KD);
    QString folded;
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing) folded += c;
    return folded;
}

QByteArray TestCorpus::path(const QByteArray& relative) const {
    return m_root + '/' + relative;
}

void TestCorpus::mkdir(const QByteArray& relative) const {
    QVERIFY(QDir().mkpath(QFile::decodeName(path(relative))));
}

void TestCorpus::write(const QByteArray& relative, const QByteArray& content) const {
    const QByteArray full = path(relative);
    QDir().mkpath(QFile::decodeName(full.left(full.lastIndexOf('/'))));
    // POSIX on the bytes: QFile would replace a name that is not valid UTF-8.
    const int fd = ::open(full.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY2(fd >= 0, full.constData());
    const ssize_t written = ::write(fd, content.constData(), size_t(content.size()));
    ::close(fd);
    QCOMPARE(qsizetype(written), content.size());
}

void TestCorpus::writeText(const QByteArray& relative, const QString& text) {
    write(relative, text.toUtf8());
    m_texts.insert(relative, text);
}

void TestCorpus::writePdf(const QByteArray& relative, const QByteArray& text) {
    write(relative, pdfShowing(text));
    m_texts.insert(relative, QString::fromLatin1(text));
}

void TestCorpus::remove(const QByteArray& relative) {
    QCOMPARE(::unlink(path(relative).constData()), 0);
    m_texts.remove(relative);
}

QSet<QByteArray> TestCorpus::textsContaining(const QString& needle) const {
    const QString folded = foldForMatching(needle);
    QSet<QByteArray> found;
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        if (foldForMatching(it.value()).contains(folded)) found.insert(it.key());
    return found;
}

}  // namespace tarnwick::test
