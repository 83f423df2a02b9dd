#include "SearchFieldCommands.h"

#include "KeyModifiers.h"
#include "SearchPanel.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace tarnwick {

FieldCommand fieldCommandFor(const QKeyEvent& key) {
    if (key.matches(QKeySequence::MoveToNextLine)) return FieldCommand::moveDown;
    if (key.matches(QKeySequence::MoveToPreviousLine)) return FieldCommand::moveUp;
    if (isReturnKey(key) && (meaningfulModifiers(key) & ~Qt::KeypadModifier) == Qt::NoModifier)
        return FieldCommand::insertNewline;
    if (key.matches(QKeySequence::Cancel)) return FieldCommand::cancel;
    if (key.matches(QKeySequence::MoveToNextWord) || key.matches(QKeySequence::MoveToEndOfLine))
        return FieldCommand::moveForward;
    if (key.matches(QKeySequence::MoveToPreviousWord) ||
        key.matches(QKeySequence::MoveToStartOfLine))
        return FieldCommand::moveBackward;
    return FieldCommand::other;
}

SearchFieldCommands::SearchFieldCommands(SearchPanel& panel, QLineEdit& field)
    : QObject(&field), m_panel(panel), m_field(field) {
    field.installEventFilter(this);
}

bool SearchFieldCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_field || event->type() != QEvent::KeyPress) return false;
    return perform(fieldCommandFor(*static_cast<QKeyEvent*>(event)));
}

bool SearchFieldCommands::perform(FieldCommand command) {
    switch (command) {
        case FieldCommand::moveDown:
            m_panel.moveSelectionDown();
            return true;
        case FieldCommand::moveUp:
            m_panel.moveSelectionUp();
            return true;
        case FieldCommand::insertNewline:
            m_panel.openSelected();
            return true;
        case FieldCommand::cancel:
            m_panel.close();
            return true;
        case FieldCommand::moveForward:
            if (!caretAtEnd()) return false;
            m_panel.enterSelectedFolder();
            return true;
        case FieldCommand::moveBackward:
            if (!selectionStartsAtBeginning() || !m_panel.canGoBack()) return false;
            m_panel.goBack();
            return true;
        case FieldCommand::other:
            return false;
    }
    return false;
}

bool SearchFieldCommands::caretAtEnd() const {
    // A selection cannot reach past the end: the caret stands there alone.
    return !m_field.hasSelectedText() && m_field.cursorPosition() == m_field.text().size();
}

bool SearchFieldCommands::selectionStartsAtBeginning() const {
    const int start =
        m_field.hasSelectedText() ? m_field.selectionStart() : m_field.cursorPosition();
    return start == 0;
}

}  // namespace tarnwick
