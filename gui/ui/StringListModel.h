#pragma once
// The string list: one row per translatable child of the node selected in
// the contents tree, or in the flat view every translatable item of the
// project with its address. Rows hold item pointers only; every cell is read
// from the item when shown, so tens of thousands of rows cost nothing to
// fill. The translation and its hotkey are edited in place: a commit goes
// through the same planning as the Translate dialog's OK and through the
// document, and what the checks find stays on the row without stopping it.

#include <QAbstractTableModel>
#include <span>
#include <unordered_map>
#include <vector>

#include "check/Findings.h"
#include "io/CodePage.h"
#include "model/ResourceItem.h"

namespace quillon::gui {

class CQuillonDoc;

class CStringListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColumnId, ColumnSource, ColumnHotkey, ColumnTranslated, ColumnTransHotkey, ColumnPath, ColumnCount };
    // What StateRole answers: the flags that apply to the row's item. A
    // confirmed item is a translated one whose translation is its source
    // (OK on the source in the Translate dialog), so it is translated too.
    enum StateFlag { StateUntranslated = 1, StateTranslated = 2, StateChanged = 4, StateProblem = 8, StateConfirmed = 16 };
    static constexpr int StateRole = Qt::UserRole + 1;

    explicit CStringListModel(CQuillonDoc& doc, QObject* parent = nullptr);

    // Lists the children of `node` (null: nothing).
    void ShowItems(CResourceItem* node);
    // Lists every translatable item of the project, with its address.
    void ShowAll();
    bool IsFlat() const { return m_flat; }
    // The errors and warnings of the checks, shown on their items' rows
    // (notes, such as "not translated", are left out).
    void SetProblems(std::span<const Finding> findings);
    void ClearProblems();
    bool HasProblem(const CResourceItem& item) const { return m_problems.contains(&item); }
    int StateOf(const CResourceItem& item) const;
    const CodePage& CodePageOf() const;
    // Every row reads its texts again (after translations changed).
    void RefreshTexts();
    void RefreshRow(int row);
    CResourceItem* ItemAt(int row) const;
    int RowOf(const CResourceItem* item) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Commits a typed translation (ColumnTranslated) or hotkey (ColumnTransHotkey).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Plans, checks and applies a translation (the tree's form) for one item,
    // marking what the checks find on its row, as an edit in the list does.
    bool CommitTranslation(CResourceItem& item, std::string translation, std::uint16_t hotkey);

private:
    struct Row {
        CResourceItem* item;
        QString label; // "Title", "Popup Menu" or a version key instead of the ID
        QString path;  // the item's address, in the flat view
    };
    struct Problems {
        Severity worst;
        QString text; // one message a line
    };
    QVariant Text(const Row& row, int column) const;
    QVariant EditText(const CResourceItem& item, int column) const;
    QVariant Foreground(const CResourceItem& item) const;
    QVariant ToolTip(const CResourceItem& item) const;
    QVariant CellToolTip(const Row& row, int column) const;
    QVariant ProblemIcon(const CResourceItem& item) const;
    // Replaces what the row of `item` shows of the checks.
    void SetRowProblems(const CResourceItem& item, std::span<const Finding> findings);
    void AddProblem(const CResourceItem& item, const Finding& finding);
    void RefreshItem(const CResourceItem& item);

    CQuillonDoc& m_doc;
    std::vector<Row> m_rows;
    bool m_flat = false;
    std::unordered_map<const CResourceItem*, Problems> m_problems;
};

} // namespace quillon::gui
