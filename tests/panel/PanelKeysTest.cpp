#include "PanelFixture.h"
#include "tests/support/TestRunner.h"

using namespace tarnwick;
using namespace tarnwick::test;

// What each key and control does, whichever layer takes it: panel shortcuts (never in another
// window), the field's commands (folders stepped into by the caret), the views, sort and pills.
class PanelKeysTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;
private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open()); }
    void cleanup() { m_fixture = {}; }
    void keys_data() {
        addScenarioColumns();
        row("Space previews", "select:notes.txt key:Space", "preview=~/notes.txt field=");
        row("Space again hides", "select:notes.txt key:Space key:Space", "preview=hidden field=");
        row("Space on a folder", "select:docs key:Space", "preview=hidden field=");
        row("Space without results", "type:qqq key:Space", "field=qqq preview=hidden");
        row("Shift+Space types", "select:notes.txt key:Shift+Space", "field=_ preview=hidden");
        row("Ctrl+Return reveals", "select:alpha.txt key:Ctrl+Return",
            "revealed=~/docs/alpha.txt opened= closed=yes");
        row("Ctrl+Return, no selection", "select:- key:Ctrl+Return", "revealed= closed=no");
        row("Ctrl+Shift+Return opens", "select:notes.txt key:Ctrl+Shift+Return",
            "revealed= opened=~/notes.txt");
        row("Ctrl+C copies the path", "clip:x select:beta.txt key:Ctrl+C",
            "clip=~/docs/beta.txt field= closed=no");
        row("Ctrl+C copies marked text", "type:notes mark:1,3 key:Ctrl+C", "clip=ote");
        row("Ctrl+C, no selection", "clip:x select:- key:Ctrl+C", "clip=x field=");
        row("another window's keys",
            "clip:x select:notes.txt other:Space other:Ctrl+C other:Ctrl+Return other:Escape",
            "other=_ preview=hidden clip=x revealed= closed=no");
        row("closed panel lets keys pass", "close other:Space", "other=_");
        row("Down", "select:1 key:Down", "at=2 field=");
        row("Down at the end", "select:5 key:Down", "at=5");
        row("Up", "select:3 key:Up", "at=2");
        row("Up at the top", "select:0 key:Up", "at=0");
        row("Down, no selection", "select:- key:Down", "at=0");
        row("Up, no selection", "select:- key:Up", "at=0");
        row("arrows, no results", "type:qqq key:Down key:Up", "at=-1 field=qqq");
        row("Return opens", "select:zeta.md key:Return", "opened=~/zeta.md closed=yes");
        row("keypad Enter opens", "select:zeta.md key:Num+Enter", "opened=~/zeta.md");
        row("Return, no selection", "select:- key:Return", "opened= closed=no");
        row("Escape", "type:no key:Escape", "closed=yes");
        const char* inDocs = "dir=~/docs field= label=projects/docs names=alpha.txt,beta.txt";
        row("End enters", "type:doc select:docs key:End", inDocs);
        row("Ctrl+Right enters", "type:doc select:docs key:Ctrl+Right", inDocs);
        row("End in the query", "type:doc select:docs caret:1 key:End", "dir=~ caret=3 field=doc");
        row("End on marked text", "type:doc select:docs mark:0,3 key:End", "dir=~ marked= caret=3");
        row("End on a file", "select:notes.txt key:End", "dir=~ closed=no opened=");
        const char* outOfDocs = "dir=~ label=projects rows=6";
        row("Home goes back", "type:doc select:docs key:End key:Home", outOfDocs);
        row("Ctrl+Left goes back", "type:doc select:docs key:End key:Ctrl+Left", outOfDocs);
        const char* inDocsTyped = "type:doc select:docs key:End type:al ";
        row("Home in the query", inDocsTyped + QString("key:Home"), "dir=~/docs caret=0 field=al");
        row("Home at its start", inDocsTyped + QString("key:Home key:Home"), "dir=~ field=");
        row("Ctrl+Left on marked", inDocsTyped + QString("mark:0,2 key:Ctrl+Left"), "dir=~");
        row("Home in the opened folder", "type:no key:Home key:Home", "dir=~ caret=0 field=no");
        row("Escape in the list", "list:Escape", "closed=yes");
        row("Return in the list", "select:zeta.md list:Return", "opened=~/zeta.md closed=yes");
        row("Shift+Return", "select:zeta.md key:Shift+Return", "opened=~/zeta.md");
        row("Alt+Return", "select:zeta.md key:Alt+Return", "opened=~/zeta.md");
        row("Shift+Down", "select:2 key:Shift+Down", "at=3");
        row("Alt+Up", "select:2 key:Alt+Up", "at=1");
        row("Escape to the panel", "panel:Escape", "closed=yes");
        row("typing searches", "type:notes", "query=notes rows=1 height=180");
        row("set text is no query", "set:zeta", "query= rows=6");
        row("sort choice", "sort:2", "sort=Size");
        row("pill", "pill:1", "pills=All,*TXT_(3),MD_(2),Folders rows=3");
        row("All stays on", "pill:1 pill:0 pill:0", "pills=*All,TXT_(3),MD_(2),Folders rows=6");
        row("closed for good", "key:Escape show", "closed=yes visible=no");
    }
    void keys() { m_fixture.playRow(); }
};

TARNWICK_TEST(PanelKeysTest)
#include "PanelKeysTest.moc"
