#pragma once

#include <QObject>

class QKeyEvent;
class QLineEdit;

namespace tarnwick {

class SearchPanel;

// The editing commands the search field's keys stand for, in the user's own key bindings.
enum class FieldCommand {
    other,          // anything else: the field performs it
    moveDown,       // Down
    moveUp,         // Up
    insertNewline,  // Return
    cancel,         // Escape
    moveForward,    // word or line movement to the right (Ctrl+Right, End)
    moveBackward,   // word or line movement to the left (Ctrl+Left, Home)
};
FieldCommand fieldCommandFor(const QKeyEvent& key);

// The second key layer: the search field offers each editing command to the panel first. The
// arrows, Return and Escape always go to the panel; forward movement with the caret at the end
// of the query steps into the selected folder, backward movement with the selection starting at
// the beginning steps back out (below the panel's own folder); otherwise the field moves its
// caret.
class SearchFieldCommands : public QObject {
    Q_OBJECT
public:
    SearchFieldCommands(SearchPanel& panel, QLineEdit& field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the panel took the command (the field then does nothing with it).
    bool perform(FieldCommand command);
    bool caretAtEnd() const;
    bool selectionStartsAtBeginning() const;

    SearchPanel& m_panel;
    QLineEdit& m_field;
};

}  // namespace tarnwick
