#include "PanelFixture.h"
#include "panel/PreviewWindow.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "tests/platform/XdoTool.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QList<QByteArray> kTree = {"docs/", "docs/alpha.txt", "notes.txt", "zeta.md"};

}  // namespace

// The panel's keys typed on a real X server (private Xvfb) with xdotool, where the key events
// carry the X modifier state, Caps Lock included.
class PanelKeysX11Test : public QObject {
    Q_OBJECT

    PanelFixture m_fixture;
    SearchPanel& panel() { return *m_fixture.panel; }
    QLineEdit* field() { return m_fixture.panel->searchField(); }
    int rowOf(const char* name) const { return m_fixture.rowOf(name); }
    bool previewShown() { return panel().previewWindow() && panel().previewWindow()->isVisible(); }

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run through run-with-xvfb)");
    }

    void init() {
        QVERIFY(m_fixture.open(kTree));
        QVERIFY(xdoFocusWindowClass(QCoreApplication::applicationName()));
        QTRY_VERIFY(panel().isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), field());
    }

    void cleanup() { m_fixture.panel.reset(); }

    void spaceTogglesThePreview() {
        m_fixture.select(rowOf("notes.txt"));
        QVERIFY(xdoKeys({QStringLiteral("space")}));
        QTRY_VERIFY(previewShown());
        QTest::qWait(200);
        QVERIFY(panel().isActiveWindow());  // the preview did not take the keyboard
        QCOMPARE(QApplication::focusWidget(), field());
        QVERIFY(xdoKeys({QStringLiteral("space")}));
        QTRY_VERIFY(!previewShown());
        QCOMPARE(field()->text(), QString());
    }

    void withCapsLockSpaceTypesABlank() {
        m_fixture.select(rowOf("notes.txt"));
        QVERIFY(xdoKeys(
            {QStringLiteral("Caps_Lock"), QStringLiteral("space"), QStringLiteral("Caps_Lock")}));
        QTRY_COMPARE(field()->text(), QStringLiteral(" "));
        QTest::qWait(100);
        QVERIFY(!previewShown());
    }

    void shiftSpaceTypesABlank() {
        m_fixture.select(rowOf("notes.txt"));
        QVERIFY(xdoKeys({QStringLiteral("shift+space")}));
        QTRY_COMPARE(field()->text(), QStringLiteral(" "));
        QVERIFY(!previewShown());
    }

    void ctrlCCopiesThePathWithOrWithoutCapsLock() {
        m_fixture.select(rowOf("alpha.txt"));
        QVERIFY(xdoKeys({QStringLiteral("ctrl+c")}));
        QTRY_COMPARE(QApplication::clipboard()->text(),
                     QString::fromUtf8(PanelFixture::kRoot + "/docs/alpha.txt"));
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QVERIFY(xdoKeys(
            {QStringLiteral("Caps_Lock"), QStringLiteral("ctrl+c"), QStringLiteral("Caps_Lock")}));
        QTRY_COMPARE(QApplication::clipboard()->text(),
                     QString::fromUtf8(PanelFixture::kRoot + "/docs/alpha.txt"));
        QCOMPARE(field()->text(), QString());
    }

    void ctrlReturnRevealsWithCapsLockOnAndCloses() {
        m_fixture.select(rowOf("zeta.md"));
        QVERIFY(xdoKeys({QStringLiteral("Caps_Lock"), QStringLiteral("ctrl+Return"),
                         QStringLiteral("Caps_Lock")}));
        QTRY_COMPARE(m_fixture.reveal->revealed,
                     QList<QByteArray>{PanelFixture::kRoot + "/zeta.md"});
        QVERIFY(m_fixture.opener->opened.isEmpty());
        QVERIFY(panel().isClosed());
        // The X server's time of the key press, so that the file manager may take the focus.
        const QRegularExpression startupId(QStringLiteral("_TIME[1-9][0-9]*$"));
        QVERIFY(startupId.match(m_fixture.reveal->startupIds.first()).hasMatch());
    }

    void endStepsInAndHomeStepsBack() {
        m_fixture.select(rowOf("docs"));
        QVERIFY(xdoKeys({QStringLiteral("End")}));
        QTRY_COMPARE(panel().session().scope().currentDirectory(), PanelFixture::kRoot + "/docs");
        QVERIFY(m_fixture.waitForRows(1));
        QVERIFY(xdoKeys({QStringLiteral("Home")}));
        QTRY_COMPARE(panel().session().scope().currentDirectory(), PanelFixture::kRoot);
        QVERIFY(m_fixture.waitForRows(4));
    }

    void arrowsReturnAndEscape() {
        m_fixture.select(0);
        QVERIFY(xdoKeys({QStringLiteral("Down"), QStringLiteral("Down")}));
        QTRY_COMPARE(m_fixture.selectedRow(), 2);
        QVERIFY(xdoKeys({QStringLiteral("Up")}));
        QTRY_COMPARE(m_fixture.selectedRow(), 1);
        const QByteArray path = panel().resultsModel()->itemAt(1).path();
        QVERIFY(xdoKeys({QStringLiteral("Return")}));
        QTRY_COMPARE(m_fixture.opener->opened, QList<QByteArray>{path});
        QVERIFY(panel().isClosed());
    }

    void rightClickOpensTheMenuOnThatRow() {
        m_fixture.select(0);
        const int row = rowOf("zeta.md");
        QAbstractItemView* view = panel().resultsView();
        const QRect rect = view->visualRect(panel().resultsModel()->index(row));
        QVERIFY(xdoClick(view->viewport()->mapToGlobal(rect.center()), 3));
        QTRY_VERIFY(panel().contextMenu() && panel().contextMenu()->isVisible());
        QCOMPARE(m_fixture.selectedRow(), row);
        QVERIFY(!panel().isClosed());  // a click on our own menu is no click elsewhere
        QVERIFY(xdoKeys({QStringLiteral("Escape")}));
        QTRY_VERIFY(!panel().contextMenu());
        QVERIFY(!panel().isClosed());
    }

    void escapeCloses() {
        QVERIFY(xdoKeys({QStringLiteral("Escape")}));
        QTRY_VERIFY(panel().isClosed());
    }
};

TARNWICK_TEST(PanelKeysX11Test)
#include "PanelKeysX11Test.moc"
