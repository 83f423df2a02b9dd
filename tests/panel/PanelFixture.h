#pragma once

#include "panel/SearchPanel.h"
#include "platform/DesktopServices.h"
#include "tests/platform/RecordingOpener.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

namespace tarnwick::test {

// Records what it was asked to reveal, with the startup ids.
class RecordingReveal : public FileManagerReveal {
    Q_OBJECT
public:
    void reveal(const QByteArray& path, const QString& startupId) override {
        revealed.append(path);
        startupIds.append(startupId);
    }
    bool isBusy() const override { return false; }

    QList<QByteArray> revealed;
    QStringList startupIds;
};

// Answers every request with `outcome`, recording the paths; touches no file.
class ScriptedTrash : public Trash {
public:
    TrashOutcome moveToTrash(const QByteArray& path) override {
        trashed.append(path);
        return outcome;
    }
    TrashOutcome outcome{true, {}};
    QList<QByteArray> trashed;
};

// A panel on a made-up folder (nothing is read from disk) acting through recording services. A
// test is a table: a script of what the user does, and the state that must follow, written as
// "name=value" pairs (see state()); paths below the folder read "~/...", blanks read '_'.
class PanelFixture {
public:
    static inline const QByteArray kRoot = "/srv/projects";
    static inline const QList<QByteArray> kTree = {"docs/",     "docs/alpha.txt", "docs/beta.txt",
                                                   "notes.txt", "zeta.md",        "readme.md"};

    std::shared_ptr<RecordingOpener> opener;
    std::shared_ptr<RecordingReveal> reveal;
    std::shared_ptr<ScriptedTrash> trash;
    std::unique_ptr<SearchPanel> panel;
    std::unique_ptr<QLineEdit> other;  // a field in another window of this application

    // Builds and shows a panel on `entries` (relative paths, folders ending in '/') and waits for
    // its results. Its preview shows "preview of PATH" for each file.
    bool open(const QList<QByteArray>& entries = kTree);
    // The session's dependencies for a panel on `entries`, shown or not.
    static SearchSession::Dependencies madeUpTree(const QList<QByteArray>& entries);
    // Waits until the search has published everything for its inputs.
    bool settle();
    QStringList rowNames() const;
    int rowOf(const QString& name) const;
    void select(int row) const;
    QPoint centreOfRow(int row) const;

    // Carries out blank-separated steps, each followed by settle(): type:TEXT, select:NAME
    // (select:- for none), row:N, key:KEY into the field, list:KEY into the results, panel:KEY
    // to the panel, other:KEY to the other window (KEY as QKeySequence writes it), caret:N,
    // mark:START,LENGTH in the field, clip:TEXT onto the clipboard, sort:N, menu:NAME (a right
    // click on that row, menu:- below the rows), entry:TEXT of the open menu, refuse:MESSAGE
    // (the opener refuses), x:KEY,KEY... typed on the X server, do:ACTION (open, reveal,
    // revealclose, copypath, copyfile, trash, close).
    void run(const QString& steps);
    // The named values of `expected` as they are now, in its order: dir, row (selected name),
    // at (selected row), rows, names, field, caret, marked, label, count, sort, opened, revealed,
    // time (the reveal's user time), usertime (set or none), focus (field or elsewhere), trashed,
    // closed, preview (hidden, - for empty, or the path), content (the preview's text), clip,
    // formats, menu, entries, other.
    QString state(const QString& expected) const;
    // Waits until state(expected) is `expected`, failing the test if it never is.
    void expect(const QString& expected) const;
    // Runs the current table row: its `steps`, then expect() its `expected`.
    void playRow();

private:
    QString value(const QString& name) const;
};

void addScenarioColumns();
// One table row: QTest::newRow(tag) << values...
template <typename... Values>
void row(const char* tag, const Values&... values) {
    (QTest::newRow(tag) << ... << values);
}

}  // namespace tarnwick::test
