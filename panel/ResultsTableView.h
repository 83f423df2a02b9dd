#pragma once

#include <QListView>

namespace tarnwick {

// The result list: rows of one fixed height drawn by a delegate on the panel's own background,
// no per-row widgets, and never the keyboard focus (typing stays in the search field; the panel
// moves the selection for the keys).
class ResultsTableView : public QListView {
    Q_OBJECT
public:
    explicit ResultsTableView(QWidget* parent = nullptr);

    // Selects `row` and brings it into view; -1 selects nothing and shows the top.
    void selectRow(int row);
    // The selected row, or -1.
    int selectedRow() const;
};

}  // namespace tarnwick
