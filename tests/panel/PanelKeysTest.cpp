#include "PanelFixture.h"
#include "panel/ResultsTableView.h"
#include "tests/support/TestRunner.h"

using namespace tarnwick;
using namespace tarnwick::test;

// What each key does in the panel, whichever of its three layers takes it: the panel-wide
// shortcuts (whatever has the focus, never in another window), the search field's editing
// commands (stepping into folders and back depending on the caret) and what the views pass on.
class PanelKeysTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;

private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open()); }
    void cleanup() { m_fixture = {}; }

    void keys_data() {
        addScenarioColumns();
        // Panel-wide shortcuts.
        scenario("Space previews", "select:notes.txt key:Space", "preview=~/notes.txt field=");
        scenario("Space again hides", "select:notes.txt key:Space key:Space",
                 "preview=hidden field=");
        scenario("Space on a folder", "select:docs key:Space", "preview=hidden field=");
        scenario("Space without results", "type:qqq key:Space", "field=qqq preview=hidden");
        scenario("Shift+Space types", "select:notes.txt key:Shift+Space", "field=_ preview=hidden");
        scenario("Ctrl+Return reveals", "select:alpha.txt key:Ctrl+Return",
                 "revealed=~/docs/alpha.txt opened= closed=yes");
        scenario("Ctrl+Return without selection", "select:- key:Ctrl+Return",
                 "revealed= closed=no");
        scenario("Ctrl+Shift+Return opens", "select:notes.txt key:Ctrl+Shift+Return",
                 "revealed= opened=~/notes.txt");
        scenario("Ctrl+C copies the path", "clip:before select:beta.txt key:Ctrl+C",
                 "clip=~/docs/beta.txt field= closed=no");
        scenario("Ctrl+C copies marked text", "type:notes mark:1,3 key:Ctrl+C", "clip=ote");
        scenario("Ctrl+C without selection", "clip:before select:- key:Ctrl+C",
                 "clip=before field=");
        scenario("another window's keys",
                 "clip:before select:notes.txt other:Space other:Ctrl+C other:Ctrl+Return "
                 "other:Escape",
                 "other=_ preview=hidden clip=before revealed= closed=no");
        scenario("closed panel lets keys pass", "do:close other:Space", "other=_");
        // The field's commands.
        scenario("Down", "row:1 key:Down", "at=2 field=");
        scenario("Down at the end", "row:5 key:Down", "at=5");
        scenario("Up", "row:3 key:Up", "at=2");
        scenario("Up at the top", "row:0 key:Up", "at=0");
        scenario("Down without selection", "select:- key:Down", "at=0");
        scenario("Up without selection", "select:- key:Up", "at=0");
        scenario("arrows without results", "type:qqq key:Down key:Up", "at=-1 field=qqq");
        scenario("Return opens", "select:zeta.md key:Return", "opened=~/zeta.md closed=yes");
        scenario("keypad Enter opens", "select:zeta.md key:Num+Enter", "opened=~/zeta.md");
        scenario("Return without selection", "select:- key:Return", "opened= closed=no");
        scenario("Escape", "type:no key:Escape", "closed=yes");
        const char* inDocs = "dir=~/docs field= label=projects/docs names=alpha.txt,beta.txt";
        scenario("End enters", "type:doc select:docs key:End", inDocs);
        scenario("Ctrl+Right enters", "type:doc select:docs key:Ctrl+Right", inDocs);
        scenario("End inside the query", "type:doc select:docs caret:1 key:End",
                 "dir=~ caret=3 field=doc");
        scenario("End on marked text", "type:doc select:docs mark:0,3 key:End",
                 "dir=~ marked= caret=3");
        scenario("End on a file", "select:notes.txt key:End", "dir=~ closed=no opened=");
        const char* outOfDocs = "dir=~ label=projects rows=6";
        scenario("Home goes back", "type:doc select:docs key:End key:Home", outOfDocs);
        scenario("Ctrl+Left goes back", "type:doc select:docs key:End key:Ctrl+Left", outOfDocs);
        scenario("Home inside the query", "type:doc select:docs key:End type:al key:Home",
                 "dir=~/docs caret=0 field=al");
        scenario("Home at the start", "type:doc select:docs key:End type:al key:Home key:Home",
                 "dir=~ field=");
        scenario("Ctrl+Left on marked text",
                 "type:doc select:docs key:End type:al mark:0,2 "
                 "key:Ctrl+Left",
                 "dir=~");
        scenario("Home in the opened folder", "type:no key:Home key:Home",
                 "caret=0 dir=~ field=no closed=no");
        // Keys passed on to the panel.
        scenario("Escape in the list", "list:Escape", "closed=yes");
        scenario("Return in the list", "select:zeta.md list:Return", "opened=~/zeta.md closed=yes");
        scenario("Shift+Return", "select:zeta.md key:Shift+Return", "opened=~/zeta.md");
        scenario("Alt+Return", "select:zeta.md key:Alt+Return", "opened=~/zeta.md");
        scenario("Shift+Down", "row:2 key:Shift+Down", "at=3");
        scenario("Alt+Up", "row:2 key:Alt+Up", "at=1");
        scenario("Escape to the panel", "panel:Escape", "closed=yes");
    }
    void keys() { PANEL_SCENARIO(m_fixture); }

    void movingTheSelectionKeepsItInView() {
        QList<QByteArray> files;
        for (int i = 0; i < 40; ++i) files.append("file" + QByteArray::number(100 + i) + ".txt");
        QVERIFY(m_fixture.open(files));
        for (int i = 0; i < 39; ++i) m_fixture.run(QStringLiteral("key:Down"));
        ResultsTableView* view = m_fixture.panel->resultsView();
        QCOMPARE(view->selectedRow(), 39);
        const QRect row = view->visualRect(view->model()->index(39, 0));
        QVERIFY(row.top() >= 0 && row.bottom() <= view->viewport()->rect().bottom());
    }
};

TARNWICK_TEST(PanelKeysTest)
#include "PanelKeysTest.moc"
