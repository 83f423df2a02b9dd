#pragma once

#include "panel/PreviewContent.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "panel/SearchPanel.h"
#include "platform/DesktopServices.h"
#include "tests/platform/RecordingOpener.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

namespace tarnwick::test {

struct RecordingReveal : FileManagerReveal {
    void reveal(const QByteArray& path, const QString& startupId) override {
        revealed.append(path), startupIds.append(startupId);
    }
    bool isBusy() const override { return false; }
    QList<QByteArray> revealed;
    QStringList startupIds;
};
// Answers every request with `outcome`; touches no file.
struct ScriptedTrash : Trash {
    TrashOutcome moveToTrash(const QByteArray& path) override {
        return trashed.append(path), outcome;
    }
    TrashOutcome outcome{true, {}};
    QList<QByteArray> trashed;
};
// A panel on a made-up folder acting through recording services. Rows: user steps (run()) and
// the state that must follow as "name=value" pairs (value()); paths read "~/...", blanks '_'.
class PanelFixture {
public:
    static inline const QByteArray kRoot = "/srv/projects";
    static inline const QList<QByteArray> kTree = {"docs/",     "docs/alpha.txt", "docs/beta.txt",
                                                   "notes.txt", "zeta.md",        "readme.md",
                                                   ".notes.bak"};
    std::shared_ptr<RecordingOpener> opener;
    std::shared_ptr<RecordingReveal> reveal;
    std::shared_ptr<ScriptedTrash> trash;
    std::unique_ptr<SearchPanel> panel;
    std::unique_ptr<QLineEdit> other;  // a field in another window of this application
    // Shows a panel on `entries` (folders end in '/') whose preview reads "preview of PATH".
    bool open(const QList<QByteArray>& entries = kTree);
    static SearchSession::Dependencies madeUpTree(const QList<QByteArray>& entries);
    static PreviewContent previewOf(const QByteArray& path, QSize);
    bool settle() {
        return QTest::qWaitFor([&] { return panel->isClosed() || panel->session().isSettled(); });
    }
    QStringList rowNames() const {
        QStringList names;
        for (const FileItem& item : panel->resultsModel()->items()) names.append(item.name());
        return names;
    }
    int rowOf(const QString& name) const { return int(rowNames().indexOf(name)); }
    QPoint centreOfRow(int row) const {
        return panel->resultsView()->visualRect(panel->resultsModel()->index(row)).center();
    }
    // Blank-separated VERB:ARG steps, each settled; key: goes to the field, list: to the results,
    // other: to another window, x: through the X server; menu:NAME right-clicks a row.
    void run(const QString& steps);
    // Waits until each named value is as given, failing the test if it never is.
    void expect(const QString& expected) const;
    void playRow();  // run(steps), expect(expected)
private:
    QString value(const QString& name) const;
};

inline void addScenarioColumns() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
}
template <typename... Values>
void row(const char* tag, const Values&... values) {
    (QTest::newRow(tag) << ... << values);
}

}  // namespace tarnwick::test
