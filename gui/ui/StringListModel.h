#pragma once
// The string list: one row per translatable child of the node selected in
// the contents tree. Rows hold item pointers only; every cell is read from
// the item when shown, so tens of thousands of rows cost nothing to fill.

#include <QAbstractTableModel>
#include <vector>

#include "model/ResourceItem.h"

namespace quillon::gui {

class CQuillonDoc;

class CStringListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColumnId, ColumnSource, ColumnHotkey, ColumnTranslated, ColumnTransHotkey, ColumnCount };

    explicit CStringListModel(CQuillonDoc& doc, QObject* parent = nullptr);

    // Lists the children of `node` (null: nothing).
    void ShowItems(CResourceItem* node);
    // Every row reads its texts again (after translations changed).
    void RefreshTexts();
    void RefreshRow(int row);
    CResourceItem* ItemAt(int row) const;
    int RowOf(const CResourceItem* item) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        CResourceItem* item;
        QString label; // "Title", "Popup Menu" or a version key instead of the ID
    };
    QVariant Text(const Row& row, int column) const;
    QVariant Foreground(const CResourceItem& item) const;
    QVariant ToolTip(const CResourceItem& item) const;

    CQuillonDoc& m_doc;
    std::vector<Row> m_rows;
};

} // namespace quillon::gui
