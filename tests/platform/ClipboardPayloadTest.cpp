#include "core/FileUri.h"
#include "platform/ClipboardPayload.h"
#include "tests/support/TestRunner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QUrl>

using namespace tarnwick;

namespace {

const QByteArray kOddPath = "/home/ana/caf\xe9 \xff/notes #1.txt";  // not UTF-8

const QMimeData* clipboardAfter(std::unique_ptr<QMimeData> payload) {
    QGuiApplication::clipboard()->setMimeData(payload.release());
    return QGuiApplication::clipboard()->mimeData();
}

}  // namespace

// What the clipboard holds after copying a path or a file, read back from the clipboard.
class ClipboardPayloadTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pathIsPlainTextWithTheExactBytes() {
        const QMimeData* data = clipboardAfter(pathPayload(kOddPath));
        QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});
        QCOMPARE(data->data(QStringLiteral("text/plain")), kOddPath);
    }

    void pathReplacesWhateverWasThere() {
        clipboardAfter(filesPayload({kOddPath}));
        const QMimeData* data = clipboardAfter(pathPayload("/tmp/a.txt"));
        QVERIFY(!data->hasUrls());
        QCOMPARE(data->text(), QStringLiteral("/tmp/a.txt"));
    }

    void fileIsOfferedToEveryFileManagerAndHasNoText() {
        const QMimeData* data = clipboardAfter(filesPayload({kOddPath}));
        QStringList formats = data->formats();
        formats.sort();
        QCOMPARE(formats, (QStringList{QStringLiteral("application/x-kde-cutselection"),
                                       QStringLiteral("text/uri-list"),
                                       QStringLiteral("x-special/gnome-copied-files"),
                                       QStringLiteral("x-special/mate-copied-files")}));
        const QByteArray uri = fileUriFromPath(kOddPath).toLatin1();
        QCOMPARE(data->data(QStringLiteral("text/uri-list")), uri + "\r\n");
        QCOMPARE(data->data(QStringLiteral("x-special/gnome-copied-files")), "copy\n" + uri);
        QCOMPARE(data->data(QStringLiteral("x-special/mate-copied-files")), "copy\n" + uri);
        QCOMPARE(data->data(QStringLiteral("application/x-kde-cutselection")), QByteArray("0"));
    }

    void uriListDecodesBackToTheBytes() {
        const QMimeData* data = clipboardAfter(filesPayload({kOddPath}));
        QCOMPARE(data->urls().size(), 1);
        QCOMPARE(pathFromFileUri(data->urls().first().toEncoded()), kOddPath);
    }

    void severalFilesHaveNoEmptyLine() {
        const QByteArray list = copiedFilesList({"/a/one.txt", "/a/two words.txt"});
        QCOMPARE(list, QByteArray("copy\nfile:///a/one.txt\nfile:///a/two%20words.txt"));
        QCOMPARE(uriList({"/a/one.txt", "/a/two words.txt"}),
                 QByteArray("file:///a/one.txt\r\nfile:///a/two%20words.txt\r\n"));
    }
};

TARNWICK_TEST(ClipboardPayloadTest)
#include "ClipboardPayloadTest.moc"
