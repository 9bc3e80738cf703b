#include <QAbstractItemDelegate>
#include <QAction>
#include <QApplication>

#include "ui/MainFrame.h"
#include "ui/MemoryService.h"
#include "ui/OutputDock.h"
#include "ui/StringListView.h"
#include "ui/SuggestionsDock.h"

namespace quillon::gui {

void CMainFrame::CreateSuggestions() {
    m_memory = new CMemoryService(this);
    m_memory->FeedFrom(m_doc);
    connect(m_memory, &CMemoryService::failed, this, [this](const QString& message) { Log(message, true); });
    m_suggestionsBar = new CSuggestionsBar(m_doc, *m_memory, this);
    // Under the list, in front of the log: matches need the width of a text,
    // and a dock beside the list would take that width from the list itself.
    tabifyDockWidget(m_outputBar, m_suggestionsBar);
    m_suggestionsBar->raise();
    resizeDocks({m_outputBar}, {180}, Qt::Vertical);
    // A suggestion goes in as a translation typed in the list would.
    m_suggestionsBar->m_commit = [this](CResourceItem& item, const MemoryTranslation& translation) {
        // An open in-place editor would store its text over the suggestion
        // when it closes: the suggestion replaces what is being typed.
        QWidget* editor = QApplication::focusWidget();
        if (editor && m_list->viewport()->isAncestorOf(editor))
            emit m_list->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
        bool done = m_strings.CommitTranslation(item, translation.text, translation.hotkey);
        UpdateCounts();
        return done;
    };
    QAction* toggle = m_suggestionsBar->toggleViewAction();
    toggle->setText(tr("S&uggestions"));
    toggle->setObjectName("ViewSuggestions");
}

} // namespace quillon::gui
