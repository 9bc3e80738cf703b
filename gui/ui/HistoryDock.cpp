#include "ui/HistoryDock.h"

#include <QUndoView>

namespace quillon::gui {

CHistoryBar::CHistoryBar(QUndoStack& stack, QWidget* parent)
    : QDockWidget(tr("History"), parent), m_view(new QUndoView(&stack, this)) {
    setObjectName("HistoryBar");
    m_view->setObjectName("historyList");
    // The first line stands for the project as it was opened or created.
    m_view->setEmptyLabel(tr("<project opened>"));
    setWidget(m_view);
}

} // namespace quillon::gui
