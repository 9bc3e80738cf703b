#pragma once
// "Translation Status": per kind of resource (strings, menus, dialogs,
// version) and in total, how many items there are, how many are translated,
// untranslated, not translatable and changed by an update, as numbers in a
// table; beside it two charts, one of each kind's progress (its translated
// share) and one of each kind's share of the project's items. Every count is
// core's tally of the tree.

#include <QDialog>
#include <cstdint>

#include "model/ResourceInfo.h"
#include "model/TreeTally.h"

class QTableWidget;

namespace quillon::gui {

class CChartWnd;

// part × 100 / whole, truncated; 0 for an empty whole, so a project without
// items charts empty bars.
int Percent(std::uint64_t part, std::uint64_t whole);

class CStatusDlg : public QDialog {
    Q_OBJECT
public:
    // Table columns; the rows are the roots in core's order, then the total.
    enum Column { ColumnItems, ColumnTranslated, ColumnUntranslated, ColumnNotTranslatable, ColumnChanged, ColumnCount };

    CStatusDlg(const CResourceInfo& info, QWidget* parent = nullptr);

    // Bars: translated share of each kind's translatable items, then the total.
    CChartWnd& ProgressChart() const { return *m_progress; }
    // Bars: each kind's share of all items.
    CChartWnd& ShareChart() const { return *m_share; }
    QTableWidget* Table() const { return m_table; }
    // Counted from the tree rather than taken from the stored counters: the
    // stored m_nTranslated only records the last automatic translation, so it
    // misses translations made by hand and goes stale when they are undone.
    const TreeTally& Tally() const { return m_tally; }

private:
    void FillTable();
    void FillCharts();
    void PlaceControls();

    TreeTally m_tally;
    CChartWnd* m_progress;
    CChartWnd* m_share;
    QTableWidget* m_table;
};

} // namespace quillon::gui
