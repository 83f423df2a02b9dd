#pragma once

#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
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
    bool settle() {
        return QTest::qWaitFor([&] { return panel->isClosed() || panel->session().isSettled(); });
    }
    QStringList rowNames() const {
        QStringList names;
        for (const FileItem& item : panel->resultsModel()->items()) names.append(item.name());
        return names;
    }
    int rowOf(const QString& name) const { return int(rowNames().indexOf(name)); }
    void select(int row) const { panel->resultsView()->selectRow(row); }
    QPoint centreOfRow(int row) const {
        return panel->resultsView()->visualRect(panel->resultsModel()->index(row)).center();
    }

    // Carries out blank-separated steps, each followed by settle(): type:TEXT, set:TEXT (not
    // typed), select:NAME or select:ROW (select:- for none), key:KEY into the field, list:KEY
    // into the results, panel:KEY to the panel, other:KEY into another window (KEY as
    // QKeySequence writes it), caret:N, mark:START,LENGTH (digits) in the field, clip:TEXT, sort:N,
    // pill:N (a click), menu:NAME (a right click on that row, menu:- below the rows),
    // entry:TEXT of the open menu, refuse:MESSAGE (the opener refuses), x:KEY,KEY... typed on
    // the X server, and open, reveal, revealclose, copypath, copyfile, trash, close, show.
    void run(const QString& steps);
    // The named values of `expected` as they are now, in its order: dir, row (selected name),
    // at (selected row), rows, names, field, caret, marked, query, label, count, sort, pills,
    // height, visible, opened, revealed, time (the reveal's user time), usertime (set or none),
    // focus (field or elsewhere), trashed, closed (yes, no or half: panel or search), preview
    // (hidden, - for empty, or the path), content, clip, formats, menu, entries, other.
    QString state(const QString& expected) const;
    // Waits until state(expected) is `expected`, failing the test if it never is.
    void expect(const QString& expected) const;
    // Runs the current table row: its `steps`, then expect() its `expected`.
    void playRow();

private:
    QString value(const QString& name) const;
};

inline void addScenarioColumns() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
}
// One table row: QTest::newRow(tag) << values...
template <typename... Values>
void row(const char* tag, const Values&... values) {
    (QTest::newRow(tag) << ... << values);
}

}  // namespace tarnwick::test
