#include "panel/PreviewContent.h"
#include "panel/PreviewWindow.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "panel/SearchPanel.h"
#include "tests/platform/RecordingOpener.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QSize kBounds(400, 300);

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage sample(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

// A JPEG whose EXIF data says "turn 90° clockwise to view" (orientation 6), as cameras write.
QByteArray jpegTakenSideways(QSize stored) {
    QByteArray jpeg = encoded(sample(stored), "JPEG");
    const QByteArray payload = QByteArray("Exif\0\0", 6) +
                               QByteArray("MM\0\x2a\0\0\0\x08", 8) +  // big-endian TIFF header
                               QByteArray("\0\x01", 2) +              // one entry
                               QByteArray("\x01\x12\0\x03\0\0\0\x01\0\x06\0\0", 12) +
                               QByteArray("\0\0\0\0", 4);  // no next directory
    const int length = int(payload.size()) + 2;
    QByteArray segment("\xff\xe1");
    segment += char(length >> 8);
    segment += char(length & 0xff);
    jpeg.insert(2, segment + payload);  // right after the start-of-image marker
    return jpeg;
}

QByteArray onePagePdf() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    painter.drawText(QPointF(100, 100), QStringLiteral("first page"));
    painter.end();
    return bytes;
}

}  // namespace

// What the preview decides to show for each kind of file, read off disk.
class PreviewContentTest : public QObject {
    Q_OBJECT

    TempTree m_tree;

    PreviewContent load(const QByteArray& relative) {
        return loadPreviewContent(m_tree.pathOf(relative), kBounds);
    }

private Q_SLOTS:
    void picturesAreScaledToFit() {
        m_tree.write("wide.png", encoded(sample({1600, 400}), "PNG"));
        const PreviewContent content = load("wide.png");
        QCOMPARE(content.kind, PreviewContent::Kind::image);
        QCOMPARE(content.image.size(), QSize(400, 100));
        QCOMPARE(content.name, QStringLiteral("wide.png"));
    }

    void smallPicturesKeepTheirSize() {
        m_tree.write("icon.png", encoded(sample({32, 16}), "PNG"));
        QCOMPARE(load("icon.png").image.size(), QSize(32, 16));
    }

    void photosStandTheWayTheyWereTaken() {
        m_tree.write("photo.jpg", jpegTakenSideways({80, 40}));
        const PreviewContent content = load("photo.jpg");
        QCOMPARE(content.kind, PreviewContent::Kind::image);
        QCOMPARE(content.image.size(), QSize(40, 80));
    }

    void largeSidewaysPhotosFitAfterTurning() {
        m_tree.write("big.jpg", jpegTakenSideways({1200, 600}));
        const PreviewContent content = load("big.jpg");
        QCOMPARE(content.image.size(), QSize(150, 300));
    }

    void brokenPictureShowsItsFacts() {
        m_tree.write("broken.png", QByteArray("\x89PNG\r\n\x1a\n but nothing else", 25));
        QCOMPARE(load("broken.png").kind, PreviewContent::Kind::facts);
    }

    void pdfShowsItsFirstPage() {
        m_tree.write("paper.pdf", onePagePdf());
        const PreviewContent content = load("paper.pdf");
        QCOMPARE(content.kind, PreviewContent::Kind::pdfPage);
        QVERIFY(content.image.height() <= kBounds.height() + 1);
        QVERIFY(content.image.height() >= kBounds.height() - 2);  // A4 is taller than wide
        QVERIFY(content.image.width() < content.image.height());
    }

    void textAndSourceFilesShowTheirText_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plain") << QByteArray("notes.txt");
        QTest::newRow("C++") << QByteArray("main.cpp");
        QTest::newRow("shell") << QByteArray("run.sh");
        QTest::newRow("no known extension") << QByteArray("LICENSE.weird");
        QTest::newRow("name not UTF-8") << QByteArray("caf\xe9.txt");
    }
    void textAndSourceFilesShowTheirText() {
        QFETCH(QByteArray, name);
        m_tree.write(name, "int main() { return 0; }\n");
        const PreviewContent content = load(name);
        QCOMPARE(content.kind, PreviewContent::Kind::text);
        QCOMPARE(content.text, QStringLiteral("int main() { return 0; }\n"));
        QVERIFY(!content.textCut);
    }

    void invalidBytesBecomeReplacementCharacters() {
        m_tree.write("mixed.txt", "ok \xff ok");
        QCOMPARE(load("mixed.txt").text, QStringLiteral("ok \uFFFD ok"));
    }

    void onlyTheStartOfALongTextIsRead() {
        // 'a' then two-byte characters: the limit falls inside one, which must not show as junk.
        QByteArray text("a");
        while (text.size() < 300 * 1024) text += "\xc3\xa9";
        m_tree.write("long.txt", text);
        const PreviewContent content = load("long.txt");
        QCOMPARE(content.kind, PreviewContent::Kind::text);
        QVERIFY(content.textCut);
        QCOMPARE(content.text.size(), 1 + (kTextPreviewBytes - 1) / 2);
        QVERIFY(!content.text.contains(QChar::ReplacementCharacter));
    }

    void otherFilesShowTheirFacts() {
        m_tree.write("blob.bin", QByteArray(1500, '\0'));
        const PreviewContent content = load("blob.bin");
        QCOMPARE(content.kind, PreviewContent::Kind::facts);
        QCOMPARE(content.name, QStringLiteral("blob.bin"));
        QCOMPARE(content.sizeText, QLocale().formattedDataSize(1500, 1, QLocale::DataSizeSIFormat));
        QVERIFY(!content.typeComment.isEmpty());
        QVERIFY(!content.typeName.isEmpty());
        QVERIFY(!content.dateText.isEmpty());
    }

    void folderShowsNothing() {
        m_tree.mkdir("folder");
        QCOMPARE(load("folder").kind, PreviewContent::Kind::empty);
    }

    void vanishedFileShowsItsName() {
        const PreviewContent content = load("gone.txt");
        QCOMPARE(content.kind, PreviewContent::Kind::facts);
        QCOMPARE(content.name, QStringLiteral("gone.txt"));
        QVERIFY(content.sizeText.isEmpty());
    }
};

// The preview window on its own and driven by a panel on a real folder: loads off the main
// thread, drops overtaken loads, follows the selection and never takes the keyboard.
class PreviewWindowTest : public QObject {
    Q_OBJECT

    TempTree m_tree;
    std::unique_ptr<SearchPanel> m_panel;

    std::optional<QByteArray> shown() { return m_panel->previewWindow()->shownPath(); }
    void select(int row) { m_panel->resultsView()->selectRow(row); }
    int rowOf(const char* name) {
        const QList<FileItem>& items = m_panel->resultsModel()->items();
        for (int row = 0; row < items.size(); ++row)
            if (items[row].name() == QLatin1String(name)) return row;
        return -1;
    }

private Q_SLOTS:
    void initTestCase() {
        m_tree.write("a.txt", "first");
        m_tree.write("b.txt", "second");
        m_tree.write("c.png", encoded(sample({20, 10}), "PNG"));
        m_tree.write("sub/d.txt", "inside");
    }

    void init() {
        SearchSession::Dependencies deps;
        deps.filterDebounceMs = 0;
        DesktopServices services{std::make_shared<RecordingOpener>(), nullptr, nullptr};
        m_panel = std::make_unique<SearchPanel>(m_tree.path(), deps, services);
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
        QTRY_COMPARE(m_panel->resultsModel()->rowCount(), 5);
    }

    void cleanup() { m_panel.reset(); }

    void overtakenLoadsAreDropped() {
        PreviewWindow window;
        QSignalSpy shownSpy(&window, &PreviewWindow::contentShown);
        window.showFile(m_tree.pathOf("a.txt"));
        window.showFile(m_tree.pathOf("b.txt"));
        QVERIFY(window.isLoading());
        QVERIFY(shownSpy.wait(5000));
        QTest::qWait(100);
        QCOMPARE(shownSpy.count(), 1);
        QCOMPARE(window.content().text, QStringLiteral("second"));
        window.showFile(m_tree.pathOf("a.txt"));
        window.showFile(std::nullopt);  // emptied at once; the load of a.txt must not come back
        QCOMPARE(window.content().kind, PreviewContent::Kind::empty);
        QTest::qWait(100);
        QCOMPARE(window.content().kind, PreviewContent::Kind::empty);
    }

    // (Whether it leaves the keyboard with the panel is seen on a real X server: the offscreen
    // platform activates every window it shows.)
    void spaceShowsItBesideThePanelAsAWindowThatTakesNoFocus() {
        select(rowOf("a.txt"));
        QTest::keyClick(m_panel->searchField(), Qt::Key_Space);
        PreviewWindow* preview = m_panel->previewWindow();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(preview->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(preview->testAttribute(Qt::WA_ShowWithoutActivating));
        QTRY_COMPARE(preview->content().text, QStringLiteral("first"));
        QCOMPARE(preview->focusPolicy(), Qt::NoFocus);
        QVERIFY(m_panel->screen()->availableGeometry().contains(preview->geometry()));
    }

    void movingTheSelectionReloads() {
        select(rowOf("a.txt"));
        QTest::keyClick(m_panel->searchField(), Qt::Key_Space);
        QTRY_COMPARE(m_panel->previewWindow()->content().text, QStringLiteral("first"));
        select(rowOf("c.png"));
        QCOMPARE(shown(), m_tree.pathOf("c.png"));
        QTRY_COMPARE(m_panel->previewWindow()->content().kind, PreviewContent::Kind::image);
        select(rowOf("b.txt"));
        QTest::keyClick(m_panel->searchField(), Qt::Key_Down);  // arrows reload too
        QCOMPARE(shown(), m_panel->selectedItem()->path());
    }

    void aFolderEmptiesIt() {
        select(rowOf("a.txt"));
        QTest::keyClick(m_panel->searchField(), Qt::Key_Space);
        select(rowOf("sub"));
        QCOMPARE(shown(), std::nullopt);
        QCOMPARE(m_panel->previewWindow()->content().kind, PreviewContent::Kind::empty);
        QVERIFY(m_panel->previewWindow()->isVisible());
        QTest::keyClick(m_panel->searchField(), Qt::Key_Space);  // Space still closes it
        QVERIFY(!m_panel->previewWindow()->isVisible());
    }

    void typingFollowsTheNewSelection() {
        select(rowOf("a.txt"));
        QTest::keyClick(m_panel->searchField(), Qt::Key_Space);
        QTest::keyClicks(m_panel->searchField(), QStringLiteral("d.t"));
        QTRY_COMPARE(shown(), m_tree.pathOf("sub/d.txt"));
        QTRY_COMPARE(m_panel->previewWindow()->content().text, QStringLiteral("inside"));
    }

    void closingThePanelTakesItAway() {
        select(rowOf("b.txt"));
        QTest::keyClick(m_panel->searchField(), Qt::Key_Space);
        QVERIFY(m_panel->previewWindow()->isVisible());
        m_panel->close();
        QVERIFY(!m_panel->previewWindow()->isVisible());
    }

    void placedBesideThePanelOnItsScreen_data() {
        QTest::addColumn<QRect>("panel");
        QTest::addColumn<QPoint>("topLeft");
        const QRect screen(0, 0, 1600, 1000);
        QTest::newRow("room on the right") << QRect(300, 200, 640, 400) << QPoint(952, 200);
        QTest::newRow("room on the left") << QRect(900, 200, 640, 400) << QPoint(368, 200);
        QTest::newRow("no room either side") << QRect(100, 200, 1400, 400) << QPoint(1080, 200);
        QTest::newRow("low panel moves up") << QRect(300, 700, 640, 200) << QPoint(952, 400);
    }
    void placedBesideThePanelOnItsScreen() {
        QFETCH(QRect, panel);
        QFETCH(QPoint, topLeft);
        const QRect rect = previewRect(panel, QRect(0, 0, 1600, 1000), QSize(520, 600));
        QCOMPARE(rect.topLeft(), topLeft);
        QCOMPARE(rect.size(), QSize(520, 600));
    }
};

TARNWICK_TEST(PreviewContentTest)
TARNWICK_TEST(PreviewWindowTest)
#include "PreviewTest.moc"
