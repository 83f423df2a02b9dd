#include "PanelFixture.h"
#include "panel/PreviewWindow.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "platform/x11/XInputClickWatcher.h"
#include "tests/support/TestRunner.h"
#include "tests/support/gui/XServer.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
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
        if (!xserver::available()) QSKIP("needs an X server (run through run-with-xvfb)");
    }

    void init() {
        QVERIFY(m_fixture.open(kTree));
        QVERIFY(xserver::focus(QCoreApplication::applicationName()));
        QTRY_VERIFY(panel().isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), field());
    }

    void cleanup() { m_fixture.panel.reset(); }

    void spaceTogglesThePreview() {
        m_fixture.select(rowOf("notes.txt"));
        QVERIFY(xserver::keys({QStringLiteral("space")}));
        QTRY_VERIFY(previewShown());
        xserver::settle();
        QVERIFY(panel().isActiveWindow());  // the preview did not take the keyboard
        QCOMPARE(QApplication::focusWidget(), field());
        QVERIFY(xserver::keys({QStringLiteral("space")}));
        QTRY_VERIFY(!previewShown());
        QCOMPARE(field()->text(), QString());
    }

    void withCapsLockSpaceTypesABlank() {
        m_fixture.select(rowOf("notes.txt"));
        QVERIFY(xserver::keys(
            {QStringLiteral("Caps_Lock"), QStringLiteral("space"), QStringLiteral("Caps_Lock")}));
        QTRY_COMPARE(field()->text(), QStringLiteral(" "));
        QVERIFY(!previewShown());
    }

    void shiftSpaceTypesABlank() {
        m_fixture.select(rowOf("notes.txt"));
        QVERIFY(xserver::keys({QStringLiteral("shift+space")}));
        QTRY_COMPARE(field()->text(), QStringLiteral(" "));
        QVERIFY(!previewShown());
    }

    void ctrlCCopiesThePathWithOrWithoutCapsLock() {
        m_fixture.select(rowOf("alpha.txt"));
        QVERIFY(xserver::keys({QStringLiteral("ctrl+c")}));
        QTRY_COMPARE(QApplication::clipboard()->text(),
                     QString::fromUtf8(PanelFixture::kRoot + "/docs/alpha.txt"));
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QVERIFY(xserver::keys(
            {QStringLiteral("Caps_Lock"), QStringLiteral("ctrl+c"), QStringLiteral("Caps_Lock")}));
        QTRY_COMPARE(QApplication::clipboard()->text(),
                     QString::fromUtf8(PanelFixture::kRoot + "/docs/alpha.txt"));
        QCOMPARE(field()->text(), QString());
    }

    void ctrlReturnRevealsWithCapsLockOnAndCloses() {
        m_fixture.select(rowOf("zeta.md"));
        QVERIFY(xserver::keys({QStringLiteral("Caps_Lock"), QStringLiteral("ctrl+Return"),
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
        QVERIFY(xserver::keys({QStringLiteral("End")}));
        QTRY_COMPARE(panel().session().scope().currentDirectory(), PanelFixture::kRoot + "/docs");
        QVERIFY(m_fixture.waitForRows(1));
        QVERIFY(xserver::keys({QStringLiteral("Home")}));
        QTRY_COMPARE(panel().session().scope().currentDirectory(), PanelFixture::kRoot);
        QVERIFY(m_fixture.waitForRows(4));
    }

    void arrowsReturnAndEscape() {
        m_fixture.select(0);
        QVERIFY(xserver::keys({QStringLiteral("Down"), QStringLiteral("Down")}));
        QTRY_COMPARE(m_fixture.selectedRow(), 2);
        QVERIFY(xserver::keys({QStringLiteral("Up")}));
        QTRY_COMPARE(m_fixture.selectedRow(), 1);
        const QByteArray path = panel().resultsModel()->itemAt(1).path();
        QVERIFY(xserver::keys({QStringLiteral("Return")}));
        QTRY_COMPARE(m_fixture.opener->opened, QList<QByteArray>{path});
        QVERIFY(panel().isClosed());
    }

    void rightClickOpensTheMenuOnThatRow() {
        m_fixture.select(0);
        const int row = rowOf("zeta.md");
        QAbstractItemView* view = panel().resultsView();
        const QRect rect = view->visualRect(panel().resultsModel()->index(row));
        QSignalSpy requested(view, &QWidget::customContextMenuRequested);
        QVERIFY(xserver::click(view->viewport()->mapToGlobal(rect.center()), 3));
        QVERIFY(requested.count() == 1 || requested.wait());
        QVERIFY(panel().contextMenu());
        QVERIFY(QTest::qWaitForWindowExposed(panel().contextMenu()));
        QCOMPARE(m_fixture.selectedRow(), row);
        // A click on our own row is no click elsewhere, once the panel's listener has read it.
        auto* listener = qobject_cast<XInputClickWatcher*>(panel().clickOutsideWatcher());
        QTRY_COMPARE(listener->pressesSeen(), 1);
        QVERIFY(!panel().isClosed());
        QVERIFY(xserver::keys({QStringLiteral("Escape")}));
        QTRY_VERIFY(!panel().contextMenu());
        QVERIFY(!panel().isClosed());
    }

    void escapeCloses() {
        QVERIFY(xserver::keys({QStringLiteral("Escape")}));
        QTRY_VERIFY(panel().isClosed());
    }
};

TARNWICK_TEST(PanelKeysX11Test)
#include "PanelKeysX11Test.moc"
