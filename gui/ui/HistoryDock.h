#pragma once
// The "History" dock (Edit > History): every change of the project since it
// was opened, by name, oldest first. Clicking a step undoes or redoes
// everything after or up to it.

#include <QDockWidget>

class QUndoStack;
class QUndoView;

namespace quillon::gui {

class CHistoryBar : public QDockWidget {
    Q_OBJECT
public:
    CHistoryBar(QUndoStack& stack, QWidget* parent);
    QUndoView* View() const { return m_view; }

private:
    QUndoView* m_view;
};

} // namespace quillon::gui
