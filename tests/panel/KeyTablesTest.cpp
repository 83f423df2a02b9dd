#include "PanelFixture.h"
#include "panel/PanelLabel.h"
#include "panel/PreviewWindow.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "panel/SearchFieldCommands.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QList<QByteArray> kTree = {"docs/",     "docs/alpha.txt", "docs/beta.txt",
                                 "notes.txt", "zeta.md",        "readme.md"};

QByteArray pathOf(const QByteArray& relative) {
    return PanelFixture::kRoot + "/" + relative;
}

bool previewShown(SearchPanel& panel) {
    return panel.previewWindow() && panel.previewWindow()->isVisible();
}

QString clipboardText() {
    return QApplication::clipboard()->text();
}

}  // namespace

// The key monitor: Space, Ctrl+Return and Ctrl+C, whatever has the focus inside the panel, and
// nothing for keys typed into another window.
class MonitorKeysTest : public QObject {
    Q_OBJECT

    PanelFixture m_fixture;
    SearchPanel& panel() { return *m_fixture.panel; }
    QLineEdit* field() { return m_fixture.panel->searchField(); }
    int rowOf(const char* name) const { return m_fixture.rowOf(name); }

private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open(kTree)); }
    void cleanup() { m_fixture.panel.reset(); }

    void spaceTogglesThePreviewOfTheSelectedFile() {
        m_fixture.select(rowOf("notes.txt"));
        QTest::keyClick(field(), Qt::Key_Space);
        QVERIFY(previewShown(panel()));
        QCOMPARE(panel().previewWindow()->shownPath(), pathOf("notes.txt"));
        QCOMPARE(field()->text(), QString());
        QTest::keyClick(field(), Qt::Key_Space);
        QVERIFY(!previewShown(panel()));
        QCOMPARE(field()->text(), QString());
    }

    void spaceOnAFolderDoesNothingAndTypesNothing() {
        m_fixture.select(rowOf("docs"));
        QTest::keyClick(field(), Qt::Key_Space);
        QVERIFY(!previewShown(panel()));
        QCOMPARE(field()->text(), QString());
    }

    void spaceWithoutResultsTypesNothing() {
        QTest::keyClicks(field(), QStringLiteral("qqq"));
        QVERIFY(m_fixture.waitForRows(0));
        QTest::keyClick(field(), Qt::Key_Space);
        QCOMPARE(field()->text(), QStringLiteral("qqq"));
        QVERIFY(!previewShown(panel()));
    }

    void shiftSpaceTypesABlank() {
        m_fixture.select(rowOf("notes.txt"));
        QTest::keyClick(field(), Qt::Key_Space, Qt::ShiftModifier);
        QCOMPARE(field()->text(), QStringLiteral(" "));
        QVERIFY(!previewShown(panel()));
    }

    void ctrlReturnRevealsAndCloses() {
        m_fixture.select(rowOf("alpha.txt"));
        QTest::keyClick(field(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(m_fixture.reveal->revealed, QList<QByteArray>{pathOf("docs/alpha.txt")});
        QVERIFY(m_fixture.opener->opened.isEmpty());
        QVERIFY(panel().isClosed());
    }

    void ctrlReturnWithoutSelectionKeepsThePanel() {
        m_fixture.select(-1);
        QTest::keyClick(field(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(m_fixture.reveal->revealed.isEmpty());
        QVERIFY(!panel().isClosed());
    }

    void ctrlWithAnotherModifierIsNotCommand() {
        m_fixture.select(rowOf("notes.txt"));
        QTest::keyClick(field(), Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(m_fixture.reveal->revealed.isEmpty());
        QCOMPARE(m_fixture.opener->opened, QList<QByteArray>{pathOf("notes.txt")});
    }

    void ctrlCCopiesTheFullPathOfTheSelectedFile() {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        m_fixture.select(rowOf("beta.txt"));
        QTest::keyClick(field(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QString::fromUtf8(pathOf("docs/beta.txt")));
        QCOMPARE(field()->text(), QString());
        QVERIFY(!panel().isClosed());
    }

    void ctrlCWithTextSelectedInTheFieldCopiesThatText() {
        QTest::keyClicks(field(), QStringLiteral("notes"));
        QVERIFY(m_fixture.waitForRows(1));
        field()->setSelection(1, 3);
        QTest::keyClick(field(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QStringLiteral("ote"));
    }

    void ctrlCWithNothingSelectedCopiesNothing() {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        m_fixture.select(-1);
        QTest::keyClick(field(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QStringLiteral("before"));
        QCOMPARE(field()->text(), QString());
    }

    void keysTypedIntoAnotherWindowAreLeftAlone() {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        m_fixture.select(rowOf("notes.txt"));
        QWidget other;
        auto* otherField = new QLineEdit(&other);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTest::keyClick(otherField, Qt::Key_Space);
        QTest::keyClick(otherField, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(otherField, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(otherField, Qt::Key_Escape);
        QCOMPARE(otherField->text(), QStringLiteral(" "));
        QVERIFY(!previewShown(panel()));
        QCOMPARE(clipboardText(), QStringLiteral("before"));
        QVERIFY(m_fixture.reveal->revealed.isEmpty());
        QVERIFY(!panel().isClosed());
    }

    void closedPanelLetsEveryKeyPass() {
        panel().close();
        QWidget other;
        auto* otherField = new QLineEdit(&other);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTest::keyClick(otherField, Qt::Key_Space);
        QCOMPARE(otherField->text(), QStringLiteral(" "));
    }
};

// The search field's editing commands: arrows, Return and Escape, and stepping into folders and
// back out with the word and line movements, depending on where the caret stands.
class FieldCommandsTest : public QObject {
    Q_OBJECT

    PanelFixture m_fixture;
    SearchPanel& panel() { return *m_fixture.panel; }
    QLineEdit* field() { return m_fixture.panel->searchField(); }
    int rowOf(const char* name) const { return m_fixture.rowOf(name); }
    QByteArray current() { return panel().session().scope().currentDirectory(); }

    // Steps into docs by typing part of its name and pressing End.
    bool enterDocs() {
        QTest::keyClicks(field(), QStringLiteral("docs"));
        if (!QTest::qWaitFor([&] { return m_fixture.rowNames().value(0) == u"docs"; }))
            return false;
        m_fixture.select(0);
        QTest::keyClick(field(), Qt::Key_End);
        return current() == pathOf("docs") && m_fixture.waitForRows(2);
    }

private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open(kTree)); }
    void cleanup() { m_fixture.panel.reset(); }

    void keysMapToTheirCommands_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<FieldCommand>("command");
        QTest::newRow("Down") << int(Qt::Key_Down) << 0 << FieldCommand::moveDown;
        QTest::newRow("Up") << int(Qt::Key_Up) << 0 << FieldCommand::moveUp;
        QTest::newRow("Return") << int(Qt::Key_Return) << 0 << FieldCommand::insertNewline;
        QTest::newRow("keypad Enter")
            << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << FieldCommand::insertNewline;
        QTest::newRow("Shift+Return")
            << int(Qt::Key_Return) << int(Qt::ShiftModifier) << FieldCommand::other;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << FieldCommand::cancel;
        QTest::newRow("End") << int(Qt::Key_End) << 0 << FieldCommand::moveForward;
        QTest::newRow("Ctrl+Right")
            << int(Qt::Key_Right) << int(Qt::ControlModifier) << FieldCommand::moveForward;
        QTest::newRow("Home") << int(Qt::Key_Home) << 0 << FieldCommand::moveBackward;
        QTest::newRow("Ctrl+Left")
            << int(Qt::Key_Left) << int(Qt::ControlModifier) << FieldCommand::moveBackward;
        QTest::newRow("Right") << int(Qt::Key_Right) << 0 << FieldCommand::other;
        QTest::newRow("Shift+End")
            << int(Qt::Key_End) << int(Qt::ShiftModifier) << FieldCommand::other;
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << FieldCommand::other;
    }
    void keysMapToTheirCommands() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(FieldCommand, command);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(fieldCommandFor(event), command);
    }

    void arrowsMoveTheSelectionAndStopAtTheEnds() {
        const int last = panel().resultsModel()->rowCount() - 1;
        QCOMPARE(last, 5);
        m_fixture.select(1);
        QTest::keyClick(field(), Qt::Key_Down);
        QCOMPARE(m_fixture.selectedRow(), 2);
        m_fixture.select(last);
        QTest::keyClick(field(), Qt::Key_Down);
        QCOMPARE(m_fixture.selectedRow(), last);
        m_fixture.select(0);
        QTest::keyClick(field(), Qt::Key_Up);
        QCOMPARE(m_fixture.selectedRow(), 0);
        m_fixture.select(3);
        QTest::keyClick(field(), Qt::Key_Up);
        QCOMPARE(m_fixture.selectedRow(), 2);
        QCOMPARE(field()->text(), QString());
    }

    void withoutSelectionBothArrowsSelectTheFirstRow_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Down") << int(Qt::Key_Down);
        QTest::newRow("Up") << int(Qt::Key_Up);
    }
    void withoutSelectionBothArrowsSelectTheFirstRow() {
        QFETCH(int, key);
        m_fixture.select(-1);
        QTest::keyClick(field(), Qt::Key(key));
        QCOMPARE(m_fixture.selectedRow(), 0);
    }

    void arrowsOnAnEmptyListDoNothing() {
        QTest::keyClicks(field(), QStringLiteral("qqq"));
        QVERIFY(m_fixture.waitForRows(0));
        QTest::keyClick(field(), Qt::Key_Down);
        QTest::keyClick(field(), Qt::Key_Up);
        QCOMPARE(m_fixture.selectedRow(), -1);
        QCOMPARE(field()->text(), QStringLiteral("qqq"));
    }

    void movingTheSelectionKeepsItInView() {
        PanelFixture many;
        QList<QByteArray> files;
        for (int i = 0; i < 40; ++i) files.append("file" + QByteArray::number(100 + i) + ".txt");
        QVERIFY(many.open(files));
        for (int i = 0; i < 39; ++i) QTest::keyClick(many.panel->searchField(), Qt::Key_Down);
        ResultsTableView* view = many.panel->resultsView();
        QCOMPARE(view->selectedRow(), 39);
        const QRect row = view->visualRect(view->model()->index(39, 0));
        QVERIFY(row.top() >= 0 && row.bottom() <= view->viewport()->rect().bottom());
    }

    void returnOpensTheSelectedFileAndCloses() {
        m_fixture.select(rowOf("zeta.md"));
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(m_fixture.opener->opened, QList<QByteArray>{pathOf("zeta.md")});
        QVERIFY(panel().isClosed());
    }

    void returnWithoutSelectionKeepsThePanel() {
        m_fixture.select(-1);
        QTest::keyClick(field(), Qt::Key_Return);
        QVERIFY(m_fixture.opener->opened.isEmpty());
        QVERIFY(!panel().isClosed());
    }

    void escapeFromTheFieldCloses() {
        QTest::keyClicks(field(), QStringLiteral("no"));
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(panel().isClosed());
    }

    void forwardWithTheCaretAtTheEndEntersTheFolder_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("End") << int(Qt::Key_End) << 0;
        QTest::newRow("Ctrl+Right") << int(Qt::Key_Right) << int(Qt::ControlModifier);
    }
    void forwardWithTheCaretAtTheEndEntersTheFolder() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QTest::keyClicks(field(), QStringLiteral("doc"));
        QTRY_COMPARE(m_fixture.rowNames().value(0), QStringLiteral("docs"));
        m_fixture.select(0);
        QTest::keyClick(field(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(current(), pathOf("docs"));
        QCOMPARE(field()->text(), QString());
        QCOMPARE(panel().session().query(), QString());
        QCOMPARE(panel().directoryLabel()->text(), QStringLiteral("  projects/docs"));
        QVERIFY(m_fixture.waitForRows(2));
        QStringList names = m_fixture.rowNames();
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("alpha.txt"), QStringLiteral("beta.txt")}));
    }

    void forwardWithTheCaretInsideOnlyMovesIt() {
        QTest::keyClicks(field(), QStringLiteral("doc"));
        QTRY_COMPARE(m_fixture.rowNames().value(0), QStringLiteral("docs"));
        m_fixture.select(0);
        field()->setCursorPosition(1);
        QTest::keyClick(field(), Qt::Key_End);
        QCOMPARE(current(), PanelFixture::kRoot);
        QCOMPARE(field()->cursorPosition(), 3);
        QCOMPARE(field()->text(), QStringLiteral("doc"));
    }

    void forwardWithASelectionOnlyMovesTheCaret() {
        QTest::keyClicks(field(), QStringLiteral("doc"));
        QTRY_COMPARE(m_fixture.rowNames().value(0), QStringLiteral("docs"));
        m_fixture.select(0);
        field()->selectAll();
        QTest::keyClick(field(), Qt::Key_End);
        QCOMPARE(current(), PanelFixture::kRoot);
        QVERIFY(!field()->hasSelectedText());
        QCOMPARE(field()->cursorPosition(), 3);
    }

    void forwardOnAFileDoesNothing() {
        m_fixture.select(rowOf("notes.txt"));
        QTest::keyClick(field(), Qt::Key_End);
        QCOMPARE(current(), PanelFixture::kRoot);
        QVERIFY(!panel().isClosed());
        QVERIFY(m_fixture.opener->opened.isEmpty());
    }

    void backwardAtTheStartGoesBackOneLevel_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Home") << int(Qt::Key_Home) << 0;
        QTest::newRow("Ctrl+Left") << int(Qt::Key_Left) << int(Qt::ControlModifier);
    }
    void backwardAtTheStartGoesBackOneLevel() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QVERIFY(enterDocs());
        QTest::keyClick(field(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(current(), PanelFixture::kRoot);
        QCOMPARE(panel().directoryLabel()->text(), QStringLiteral("  projects"));
        QVERIFY(m_fixture.waitForRows(6));
    }

    void backwardWithTheCaretInsideOnlyMovesIt() {
        QVERIFY(enterDocs());
        QTest::keyClicks(field(), QStringLiteral("al"));
        QTest::keyClick(field(), Qt::Key_Home);
        QCOMPARE(current(), pathOf("docs"));
        QCOMPARE(field()->cursorPosition(), 0);
        QCOMPARE(field()->text(), QStringLiteral("al"));
        QTest::keyClick(field(), Qt::Key_Home);  // now at the start: back out
        QCOMPARE(current(), PanelFixture::kRoot);
        QCOMPARE(field()->text(), QString());
    }

    void backwardWithASelectionFromTheStartGoesBack() {
        QVERIFY(enterDocs());
        QTest::keyClicks(field(), QStringLiteral("al"));
        field()->selectAll();
        QTest::keyClick(field(), Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(current(), PanelFixture::kRoot);
    }

    void backwardInTheOpenedFolderOnlyMovesTheCaret() {
        QTest::keyClicks(field(), QStringLiteral("no"));
        QTest::keyClick(field(), Qt::Key_Home);
        QCOMPARE(field()->cursorPosition(), 0);
        QTest::keyClick(field(), Qt::Key_Home);
        QCOMPARE(current(), PanelFixture::kRoot);
        QCOMPARE(field()->text(), QStringLiteral("no"));
        QVERIFY(!panel().isClosed());
    }
};

// Keys that reach the panel itself because the focused view passed them on: Return, Escape and
// the arrows, with any modifiers.
class PanelLayerKeysTest : public QObject {
    Q_OBJECT

    PanelFixture m_fixture;
    SearchPanel& panel() { return *m_fixture.panel; }

private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open(kTree)); }
    void cleanup() { m_fixture.panel.reset(); }

    void escapeFromTheListCloses() {
        QTest::keyClick(panel().resultsView(), Qt::Key_Escape);
        QVERIFY(panel().isClosed());
    }

    void returnFromTheListOpens() {
        m_fixture.select(1);
        const QByteArray path = panel().resultsModel()->itemAt(1).path();
        QTest::keyClick(panel().resultsView(), Qt::Key_Return);
        QCOMPARE(m_fixture.opener->opened, QList<QByteArray>{path});
        QVERIFY(panel().isClosed());
    }

    void modifiedReturnInTheFieldOpens_data() {
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Shift") << int(Qt::ShiftModifier);
        QTest::newRow("Alt") << int(Qt::AltModifier);
    }
    void modifiedReturnInTheFieldOpens() {
        QFETCH(int, modifiers);
        m_fixture.select(2);
        const QByteArray path = panel().resultsModel()->itemAt(2).path();
        QTest::keyClick(panel().searchField(), Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_fixture.opener->opened, QList<QByteArray>{path});
    }

    void modifiedArrowsMoveTheSelection() {
        m_fixture.select(2);
        QTest::keyClick(panel().searchField(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(m_fixture.selectedRow(), 3);
        QTest::keyClick(panel().searchField(), Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(m_fixture.selectedRow(), 2);
    }

    void escapeSentToThePanelItselfCloses() {
        QTest::keyClick(&panel(), Qt::Key_Escape);
        QVERIFY(panel().isClosed());
    }
};

TARNWICK_TEST(MonitorKeysTest)
TARNWICK_TEST(FieldCommandsTest)
TARNWICK_TEST(PanelLayerKeysTest)
#include "KeyTablesTest.moc"
