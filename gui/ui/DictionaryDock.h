#pragma once
// The "Dictionary" dock: every dictionary entry with its kind, source,
// translation and hotkey; delete, edit and sort from its context menu.

#include <QDialog>
#include <QDockWidget>

#include "ui/EditGate.h"
#include <cstdint>
#include <string>

#include "extract/TextRules.h"
#include "io/CodePage.h"
#include "ui/DictionaryModel.h"

class QAction;
class QLabel;
class QLineEdit;
class QTableView;

namespace quillon::gui {

class CQuillonDoc;

// The Edit command's dialog: one entry's source (read-only), translation and
// hotkey. OK asks the core's CheckEditedEntry and, when it refuses, shows
// why and stays open; the entry itself is changed by the caller.
class CDictionaryEntryDlg : public QDialog {
    Q_OBJECT
public:
    CDictionaryEntryDlg(const std::string& source, const CDictonaryEntry& entry, const CodePage& codePage,
                        QWidget* parent = nullptr);

    void accept() override;
    std::string Translation() const;
    std::uint16_t Hotkey() const;
    HotkeyText Typed() const;

    QLineEdit* TranslationEdit() const { return m_translation; }
    QLineEdit* HotkeyEdit() const { return m_hotkey; }
    QLabel* RefusalLabel() const { return m_refusal; }

private:
    std::string m_source;
    ItemKind m_kind;
    CodePage m_codePage;
    QLineEdit* m_translation;
    QLineEdit* m_hotkey;
    QLabel* m_refusal;
    CEditGate m_gate;
};

class CDictonaryBar : public QDockWidget {
    Q_OBJECT
public:
    CDictonaryBar(CQuillonDoc& doc, QWidget* parent);

    CDictionaryModel& Model() { return m_model; }
    QTableView* List() const { return m_list; }
    void FillList();
    void ClearList() { m_model.ClearList(); }
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
