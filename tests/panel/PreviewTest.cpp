#include "PanelFixture.h"
#include "panel/PreviewContent.h"
#include "panel/PreviewWindow.h"
#include "tests/support/TestRunner.h"

#include <QScreen>
#include <QSignalSpy>

using namespace tarnwick;
using namespace tarnwick::test;

// The panel's side of the preview: what it shows follows the selection, loads are taken off the
// main thread and dropped once overtaken, and the window sits beside the panel without ever
// taking the keyboard. (What a file's preview holds is the loader's business.)
class PreviewWindowTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;

private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open()); }
    void cleanup() { m_fixture = {}; }

    void followsTheSelection_data() {
        addScenarioColumns();
        const QString shown = QStringLiteral("select:notes.txt key:Space ");
        row("Space shows", shown, "preview=~/notes.txt content=preview_of_~/notes.txt");
        row("selecting reloads", shown + "select:zeta.md", "content=preview_of_~/zeta.md");
        row("arrows reload", "select:alpha.txt key:Space key:Down", "preview=~/docs/beta.txt");
        row("typing reloads", shown + "type:zeta",
            "preview=~/zeta.md content=preview_of_~/zeta.md");
        row("a folder empties it", shown + "select:docs", "preview=- content=empty");
        row("Space on a folder hides it", shown + "select:docs key:Space", "preview=hidden");
        row("closing the panel hides it", shown + "close", "preview=hidden");
    }
    void followsTheSelection() { m_fixture.playRow(); }

    // (Whether it leaves the keyboard with the panel is seen on a real X server: the offscreen
    // platform activates every window it shows.)
    void takesNoFocusAndStaysOnTheScreen() {
        m_fixture.run(QStringLiteral("select:notes.txt key:Space"));
        const PreviewWindow* preview = m_fixture.panel->previewWindow();
        QVERIFY(preview->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(preview->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(preview->focusPolicy(), Qt::NoFocus);
        QVERIFY(m_fixture.panel->screen()->availableGeometry().contains(preview->geometry()));
    }

    void overtakenLoadsAreDropped() {
        PreviewWindow window([](const QByteArray& path, QSize) {
            PreviewContent content;
            content.kind = PreviewContent::Kind::text;
            content.text = QString::fromUtf8(path);
            return content;
        });
        QSignalSpy shown(&window, &PreviewWindow::contentShown);
        window.showFile(QByteArray("/a"));
        window.showFile(QByteArray("/b"));
        QVERIFY(window.isLoading());
        QVERIFY(shown.wait(5000));
        QTest::qWait(100);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(window.content().text, QStringLiteral("/b"));
        window.showFile(QByteArray("/a"));
        window.showFile(std::nullopt);  // emptied at once; the load of /a must not come back
        QCOMPARE(window.content().kind, PreviewContent::Kind::empty);
        QTest::qWait(100);
        QCOMPARE(window.content().kind, PreviewContent::Kind::empty);
    }

    void placedBesideThePanelOnItsScreen_data() {
        QTest::addColumn<QRect>("panel");
        QTest::addColumn<QPoint>("topLeft");
        row("room on the right", QRect(300, 200, 640, 400), QPoint(952, 200));
        row("room on the left", QRect(900, 200, 640, 400), QPoint(368, 200));
        row("no room either side", QRect(100, 200, 1400, 400), QPoint(1080, 200));
        row("low panel moves up", QRect(300, 700, 640, 200), QPoint(952, 400));
    }
    void placedBesideThePanelOnItsScreen() {
        QFETCH(QRect, panel);
        QFETCH(QPoint, topLeft);
        QCOMPARE(previewRect(panel, QRect(0, 0, 1600, 1000), QSize(520, 600)),
                 QRect(topLeft, QSize(520, 600)));
    }
};

TARNWICK_TEST(PreviewWindowTest)
#include "PreviewTest.moc"
