#include "PanelFixture.h"

#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"

#include <QSignalSpy>
#include <QTest>

namespace tarnwick::test {

SearchSession::Dependencies PanelFixture::madeUpTree(const QList<QByteArray>& entries) {
    SearchSession::Dependencies deps;
    deps.filterDebounceMs = 0;
    deps.lister = [entries](const QByteArray& folder, const std::atomic<bool>*) {
        QList<FileItem> items;
        for (const QByteArray& entry : entries) {
            const bool isFolder = entry.endsWith('/');
            const QByteArray path = kRoot + "/" + (isFolder ? entry.chopped(1) : entry);
            if (!path.startsWith(folder + "/")) continue;
            items.append(FileItem::fromPath(path, folder, isFolder, isFolder ? 0 : 100, 1000));
        }
        return items;
    };
    return deps;
}

bool PanelFixture::open(const QList<QByteArray>& entries) {
    panel.reset();
    opener = std::make_shared<RecordingOpener>();
    reveal = std::make_shared<RecordingReveal>();
    trash = std::make_shared<ScriptedTrash>();
    DesktopServices services{opener, reveal, trash};
    panel = std::make_unique<SearchPanel>(kRoot, madeUpTree(entries), services);
    QSignalSpy published(&panel->session(), &SearchSession::resultsReplaced);
    panel->show();
    if (!QTest::qWaitForWindowExposed(panel.get())) return false;
    return published.count() > 0 || published.wait(5000);
}

bool PanelFixture::waitForRows(int rows) {
    return QTest::qWaitFor([&] { return panel->resultsModel()->rowCount() == rows; }, 5000);
}

QStringList PanelFixture::rowNames() const {
    QStringList names;
    for (const FileItem& item : panel->resultsModel()->items()) names.append(item.name());
    return names;
}

int PanelFixture::rowOf(const QByteArray& name) const {
    return int(rowNames().indexOf(QString::fromUtf8(name)));
}

int PanelFixture::selectedRow() const {
    return panel->resultsView()->selectedRow();
}

void PanelFixture::select(int row) {
    panel->resultsView()->selectRow(row);
}

}  // namespace tarnwick::test
