#pragma once
// The dictionary dock's rows: one per dictionary entry (primary entries and
// their entries for other kinds), texts read from the entries when shown.

#include <QAbstractTableModel>
#include <set>
#include <string>
#include <vector>

#include "dictionary/Dictionary.h"
#include "project/ProjectChange.h"

namespace quillon::gui {

class CQuillonDoc;

class CDictionaryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColumnType, ColumnSource, ColumnTranslated, ColumnHotkey, ColumnCount };

    explicit CDictionaryModel(CQuillonDoc& doc, QObject* parent = nullptr);

    void FillList();
    void ClearList();
    // The change that deletes the entries of these rows: a primary row takes
    // its source text with every entry; an entry row only itself.
    ProjectChange PlanDeletion(const std::set<int>& rows) const;
    // Keeps the rows in the order of a column (stable).
    void SortBy(int column);

    struct Row {
        std::string source;
        CDictonaryEntry* entry;
        CDictonaryEntry* primary; // null for a primary row
    };
    const Row* RowAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString Text(const Row& row, int column) const;

    CQuillonDoc& m_doc;
    std::vector<Row> m_rows;
};

} // namespace quillon::gui
