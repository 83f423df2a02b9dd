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
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

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

// Stands in for the application's loader: the file's bytes as text, named by its path.
PreviewContent bytesOf(const QByteArray& path, QSize) {
    PreviewContent content;
    content.kind = PreviewContent::Kind::text;
    content.name = QString::fromUtf8(path);
    QFile file(content.name);
    if (file.open(QIODevice::ReadOnly)) content.text = QString::fromUtf8(file.readAll());
    return content;
}

}  // namespace

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
        m_panel = std::make_unique<SearchPanel>(m_tree.path(), deps, services, &bytesOf);
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
        QTRY_COMPARE(m_panel->resultsModel()->rowCount(), 5);
    }

    void cleanup() { m_panel.reset(); }

    void overtakenLoadsAreDropped() {
        PreviewWindow window(&bytesOf);
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
        QTRY_COMPARE(m_panel->previewWindow()->content().name,
                     QString::fromUtf8(m_tree.pathOf("c.png")));
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

TARNWICK_TEST(PreviewWindowTest)
#include "PreviewTest.moc"
