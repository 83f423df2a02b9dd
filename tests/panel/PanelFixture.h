#pragma once

#include "panel/SearchPanel.h"
#include "platform/DesktopServices.h"
#include "tests/platform/RecordingOpener.h"

#include <QList>
#include <QPair>

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

// A panel on a made-up folder whose tree is `entries` (relative paths, folders ending in '/'),
// acting through recording services. Nothing is read from disk.
class PanelFixture {
public:
    static inline const QByteArray kRoot = "/srv/projects";

    std::shared_ptr<RecordingOpener> opener;
    std::shared_ptr<RecordingReveal> reveal;
    std::shared_ptr<ScriptedTrash> trash;
    std::unique_ptr<SearchPanel> panel;

    // Builds and shows a new panel with new recorders and waits for its first results; false if
    // none came.
    bool open(const QList<QByteArray>& entries);
    // Waits until the results show `rows` rows.
    bool waitForRows(int rows);
    // The names of the rows, top to bottom.
    QStringList rowNames() const;
    // The row showing `name`, or -1.
    int rowOf(const QByteArray& name) const;
    int selectedRow() const;
    // Selects `row` as a click would.
    void select(int row);

    static SearchSession::Dependencies madeUpTree(const QList<QByteArray>& entries);
};

}  // namespace tarnwick::test
