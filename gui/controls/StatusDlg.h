#pragma once
// "Translation Status": the make-up and progress of the project as a bar
// chart, one bar per kind of item, one for the items that cannot be
// translated and one for the share of translatable items already translated.

#include <QDialog>
#include <cstdint>

#include "model/ResourceInfo.h"
#include "model/TreeTally.h"

namespace quillon::gui {

class CChartWnd;

// part × 100 / whole, truncated; 0 for an empty whole, so a project without
// items charts empty bars.
int Percent(std::uint64_t part, std::uint64_t whole);

class CStatusDlg : public QDialog {
    Q_OBJECT
public:
    CStatusDlg(const CResourceInfo& info, QWidget* parent = nullptr);

    CChartWnd& Chart() const { return *m_wndChart; }
    // Counted from the tree rather than taken from the stored counters: the
    // stored m_nTranslated only records the last automatic translation, so it
    // misses translations made by hand and goes stale when they are undone.
    const TreeTally& Tally() const { return m_tally; }

private:
    void PlaceControls();
    void FillChart();

    TreeTally m_tally;
    CChartWnd* m_wndChart;
};

} // namespace quillon::gui
