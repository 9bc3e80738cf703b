#pragma once
// The "Suggestions" dock: the memory's matches for the selected item
// (SuggestionList.h), the lowest score to show, and Ctrl+1 to Ctrl+9, which
// put match N, fitted to the item, in as its translation. The window commits
// it as it commits a translation typed in the list.

#include <QDockWidget>
#include <functional>

#include "memory/MemoryTranslation.h"
#include "ui/SuggestionList.h"

class QAction;
class QSpinBox;

namespace quillon::gui {

class CSuggestionsBar : public QDockWidget {
    Q_OBJECT
public:
    CSuggestionsBar(CQuillonDoc& doc, CMemoryService& memory, QWidget* parent = nullptr);

    CSuggestionList* List() const { return m_list; }
    QSpinBox* ThresholdBox() const { return m_threshold; }
    // The window's commit of a translation for an item; returns whether it went in.
    std::function<bool(CResourceItem&, const MemoryTranslation&)> m_commit;
    // Puts suggestion `index` (0 for Ctrl+1) into the item; false when there
    // is none or it was refused.
    bool Use(int index);

private:
    CSuggestionList* m_list;
    QSpinBox* m_threshold;
};

} // namespace quillon::gui
