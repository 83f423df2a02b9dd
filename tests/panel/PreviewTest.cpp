#include "PanelFixture.h"
#include "panel/PreviewWindow.h"
#include "tests/support/TestRunner.h"

#include <QScreen>
#include <QSignalSpy>

using namespace tarnwick;
using namespace tarnwick::test;

// The panel's preview: follows the selection, loads off the main thread dropped once overtaken,
// beside the panel without taking the keyboard.
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
    void takesNoFocusAndStaysOnTheScreen() {
        m_fixture.run(QStringLiteral("select:notes.txt key:Space"));
        const PreviewWindow* preview = m_fixture.panel->previewWindow();
        QVERIFY(preview->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(preview->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(preview->focusPolicy(), Qt::NoFocus);
        QVERIFY(m_fixture.panel->screen()->availableGeometry().contains(preview->geometry()));
    }
    void overtakenLoadsAreDropped() {
        PreviewWindow window(&PanelFixture::previewOf);
        QSignalSpy shown(&window, &PreviewWindow::contentShown);
        window.showFile(QByteArray("/a"));
        window.showFile(QByteArray("/b"));
        QVERIFY(window.isLoading());
        QVERIFY(shown.wait(5000));
        QTest::qWait(100);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(window.content().text, QStringLiteral("preview of /b"));
        window.showFile(QByteArray("/a"));
        window.showFile(std::nullopt);  // emptied at once; the load of /a must not come back
        QCOMPARE(window.content().kind, PreviewContent::Kind::empty);
        QTest::qWait(100);
        QCOMPARE(window.content().kind, PreviewContent::Kind::empty);
    }
    // On a 1600x1000 screen: right of the panel, else left, else over it; moved up to fit.
    void placedBesideThePanelOnItsScreen() {
        const int rows[][6] = {{300, 200, 640, 400, 952, 200},
                               {900, 200, 640, 400, 368, 200},
                               {100, 200, 1400, 400, 1080, 200},
                               {300, 700, 640, 200, 952, 400}};
        for (const auto& r : rows)
            QCOMPARE(previewRect({r[0], r[1], r[2], r[3]}, {0, 0, 1600, 1000}, {520, 600}),
                     QRect(r[4], r[5], 520, 600));
    }
};

TARNWICK_TEST(PreviewWindowTest)
#include "PreviewTest.moc"
