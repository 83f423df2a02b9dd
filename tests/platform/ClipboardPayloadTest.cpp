#include "core/FileUri.h"
#include "platform/ClipboardPayload.h"
#include "tests/support/TestRunner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QUrl>

using namespace tarnwick;
using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kOddPath = "/home/ana/caf\xe9 \xff/notes #1.txt";  // not UTF-8
const QByteArray kUris = "file:///a/b.txt\nfile:///home/ana/caf%E9%20%FF/notes%20%231.txt";

const QMimeData* copied(std::unique_ptr<QMimeData> payload) {
    QGuiApplication::clipboard()->setMimeData(payload.release());
    return QGuiApplication::clipboard()->mimeData();
}

}  // namespace

// What the clipboard holds after copying a path, or files, read back from the clipboard.
class ClipboardPayloadTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pathIsPlainTextWithTheExactBytes() {
        copied(filesPayload({kOddPath}));
        const QMimeData* data = copied(pathPayload(kOddPath));
        QCOMPARE(data->formats(), QStringList{u"text/plain"_s});  // the files are gone
        QCOMPARE(data->data(u"text/plain"_s), kOddPath);
    }

    void filesAreOfferedToEveryFileManager_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("content");  // empty: not offered
        QTest::newRow("uri list") << u"text/uri-list"_s
                                  << QByteArray(kUris).replace("\n", "\r\n") + "\r\n";
        QTest::newRow("gnome") << u"x-special/gnome-copied-files"_s << "copy\n" + kUris;
        QTest::newRow("mate") << u"x-special/mate-copied-files"_s << "copy\n" + kUris;
        QTest::newRow("kde: copied, not cut")
            << u"application/x-kde-cutselection"_s << QByteArray("0");
        QTest::newRow("no text") << u"text/plain"_s << QByteArray();
    }
    void filesAreOfferedToEveryFileManager() {
        QFETCH(QString, format);
        QFETCH(QByteArray, content);
        const QMimeData* data = copied(filesPayload({"/a/b.txt", kOddPath}));
        QCOMPARE(data->hasFormat(format) ? data->data(format) : QByteArray(), content);
        QCOMPARE(pathFromFileUri(data->urls().value(1).toEncoded()), kOddPath);
    }
};

TARNWICK_TEST(ClipboardPayloadTest)
#include "ClipboardPayloadTest.moc"
