#pragma once
// Edit > Replace (Ctrl+H): Find and Replace in translations, beside the
// window. The search has the filter bar's options; the preview lists every
// item it would change with its translation before and after (the changed
// parts marked) and what the checks find in the new text, so a broken
// placeholder or a lost hotkey shows before anything is applied. The rows
// left checked go in as one step to undo. Core plans it all (ReplacePlan);
// the dialog only shows the plan and hands the change to the document.

#include <QDialog>
#include <vector>

#include "replace/ReplacePlan.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace quillon::gui {

class CQuillonDoc;

class CReplaceDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { ColumnItem, ColumnBefore, ColumnAfter, ColumnChecks, ColumnCount };
    // Rich text of the Before and After cells, the changed parts marked.
    static constexpr int HighlightRole = Qt::UserRole + 1;

    CReplaceDialog(CQuillonDoc& doc, QWidget* parent);

    // The resource that "Selected resource" searches (null: none selected).
    void SetScope(const CResourceItem* node, const QString& name);
    QLineEdit* FindEdit() const { return m_find; }
    QLineEdit* ReplaceEdit() const { return m_with; }
    QTableWidget* PreviewTable() const { return m_table; }
    QLabel* Summary() const { return m_summary; }

    // Finds again and lists the replacements; false when the search is refused.
    bool RefreshPreview();
    // Applies the checked rows as one step; the number of items changed.
    int ReplaceChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ClearRows();
    void FillRow(int row, const ReplaceRow& plan);
    void SizeRowsInView();
    void UpdateReplaceButton();

    CQuillonDoc& m_doc;
    const CResourceItem* m_scope = nullptr;
    std::vector<ReplaceRow> m_rows;
    std::vector<bool> m_rowSized; // by SizeRowsInView
    QLineEdit* m_find;
    QLineEdit* m_with;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QCheckBox* m_regularExpression;
    QRadioButton* m_wholeProject;
    QRadioButton* m_selectedResource;
    QTableWidget* m_table;
    QLabel* m_summary;
    QPushButton* m_replace;
};

} // namespace quillon::gui
