#pragma once

#include <QListView>

namespace tarnwick {

// The result list: rows of one fixed height drawn by a delegate on the panel's own background,
// no per-row widgets. It takes the keyboard focus only from Tab: typing stays in the search field
// and the panel moves the selection for the keys, so assistive technologies are told which row
// the arrows reached.
class ResultsTableView : public QListView {
    Q_OBJECT
public:
    explicit ResultsTableView(QWidget* parent = nullptr);

    // Selects `row` and brings it into view; -1 selects nothing and shows the top.
    void selectRow(int row);
    // selectRow() for the user's own step (the arrows from the search field): assistive
    // technologies hear that the row has the focus, though the keyboard stays in the field.
    void stepTo(int row);
    // The selected row, or -1.
    int selectedRow() const;

    // After stepTo(): reports `focused`, which holds the keyboard focus, as focused again (the
    // user went on typing there).
    void returnAccessibleFocus(QWidget* focused);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // In the focused list, or while stepping: tells assistive technologies which row has it.
    void reportCurrentRowFocused();

    bool m_stepping = false;
    bool m_rowHoldsAccessibleFocus = false;
};

}  // namespace tarnwick
