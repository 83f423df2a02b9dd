#pragma once

#include <QObject>

class QKeyEvent;

namespace tarnwick {

class SearchPanel;

// The first of the panel's three key layers: an application event filter that looks only at key
// presses aimed at the panel's own window (never the settings window or an alert), before the
// focused view sees them. It takes the panel-wide shortcuts that must work whatever has the
// focus: Space (preview; a pill or the sort pop-up with the focus presses it instead), Ctrl+Return
// (reveal and close), Ctrl+C (copy the path, unless the search field has text selected, which it
// then copies itself) and Ctrl+H (hidden files shown or not, in this panel alone). Every other key
// goes on.
class PanelKeys : public QObject {
    Q_OBJECT
public:
    explicit PanelKeys(SearchPanel& panel);

    // Starts and stops catching keys; the panel does both with showing and closing.
    void install();
    void remove();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was handled and must go no further.
    bool handleKey(const QKeyEvent& key);
    bool fieldCopiesItsSelection() const;
    bool focusPressesSpace() const;

    SearchPanel& m_panel;
    bool m_installed = false;
};

}  // namespace tarnwick
