#pragma once
// The "Dictonary" dock: every dictionary entry with its kind, source,
// translation and hotkey; delete, edit and sort from its context menu.

#include <QDockWidget>

#include "ui/DictionaryModel.h"

class QAction;
class QTableView;

namespace quillon::gui {

class CQuillonDoc;

class CDictonaryBar : public QDockWidget {
    Q_OBJECT
public:
    CDictonaryBar(CQuillonDoc& doc, QWidget* parent);

    CDictionaryModel& Model() { return m_model; }
    QTableView* List() const { return m_list; }
    void FillList();
    void ClearList() { m_model.ClearList(); }
    void UpdateEntry(const CDictonaryEntry* entry) { m_model.UpdateEntry(entry); }
    // Deletes the selected rows' entries (no question asked; the file follows
    // with the next save of the project).
    void DeleteSelected();
    // Edits the translation and hotkey of the one selected row.
    void EditSelected();

    QAction* DeleteAction() const { return m_delete; }
    QAction* EditAction() const { return m_edit; }

private:
    void ShowContextMenu(const QPoint& position);
    void UpdateActions();

    CQuillonDoc& m_doc;
    CDictionaryModel m_model;
    QTableView* m_list;
    QAction* m_delete;
    QAction* m_edit;
};

} // namespace quillon::gui
