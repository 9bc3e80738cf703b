#include <gtest/gtest.h>

#include <QTableWidget>

#include "model/ItemPath.h"
#include "model/ModuleTrees.h"

#include "controls/ChartWnd.h"
#include "controls/StatusDlg.h"

using namespace quillon;
using namespace quillon::gui;

namespace {

// Table cells row by row, as the dialog shows them.
std::vector<QStringList> Cells(const QTableWidget& table) {
    std::vector<QStringList> rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells{table.verticalHeaderItem(row)->text()};
        for (int column = 0; column < table.columnCount(); ++column) cells << table.item(row, column)->text();
        rows.push_back(cells);
    }
    return rows;
}

std::vector<int> Values(const CChartWnd& chart) {
    std::vector<int> values;
    for (const auto& bar : chart.Bars()) values.push_back(bar.m_nValue);
    return values;
}

} // namespace

// The chart keeps its range when asked for an empty one, and refuses its own title.
TEST(Chart, RefusesAnEmptyRangeAndTheSameTitle) {
    CChartWnd chart;
    chart.resize(400, 250);
    chart.Initialize();
    chart.AddBar("Alpha", 100, QColor(0, 0, 128));
    EXPECT_FALSE(chart.SetRange(50, 50, 2));
    EXPECT_FALSE(chart.SetRange(60, 10, 2));
    EXPECT_EQ(chart.ValueLabelRects().back().first, "100%");
    QString refusal;
    chart.m_refuseTitle = [&](const QString& message) { refusal = message; };
    EXPECT_TRUE(chart.SetTitle("Status"));
    EXPECT_FALSE(chart.SetTitle("Status"));
    EXPECT_EQ(refusal, "They are the same ,  please input another name!\n");
}

// The sample module with three items translated and one changed by an
// update: the counts are core's tallies of it (TreeTally's test), shown per
// root and in total; translated and untranslated are shares of what can be
// translated, the items column the share of the project.
TEST(StatusDialog, ShowsTheTalliesOfEachKindAsNumbers) {
    auto info = quillon::testing::ScanModule(quillon::testing::SampleModule());
    Find(*info, "strings/1").Value()->SetTranslation("Federkiel", 0);
    Find(*info, "menus/100/-1#2").Value()->SetTranslation("Bearbeiten", 'B');
    Find(*info, "version/StringFileInfo/040904b0/CompanyName").Value()->SetTranslation("Beispiele", 0);
    Find(*info, "strings/2").Value()->SetCarried(true);
    CStatusDlg dialog(*info, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Translation Status");
    const QTableWidget& table = *dialog.Table();
    QStringList header;
    for (int column = 0; column < table.columnCount(); ++column) header << table.horizontalHeaderItem(column)->text();
    EXPECT_EQ(header, (QStringList{"Items", "Translated", "Untranslated", "Not translatable", "Changed"}));
    std::vector<QStringList> rows = Cells(table);
    ASSERT_EQ(rows.size(), 5u); // Strings, Menus, Dialogs, Version, Total
    EXPECT_EQ(rows[4], (QStringList{"Total", "173 (100%)", "3 (2%)", "146 (97%)", "24 (13%)", "1 (0%)"}));
    // Progress and make-up are charted apart.
    EXPECT_EQ(Values(dialog.ProgressChart()), (std::vector<int>{1, 2, 0, 12, 2}));
    EXPECT_EQ(Values(dialog.ShareChart()), (std::vector<int>{34, 26, 34, 4}));
    EXPECT_EQ(Percent(3'000'000'000u, 3'000'000'000u), 100); // no 32-bit overflow
    // A project without items shows zeros, not a division by zero.
    CResourceInfo none;
    CStatusDlg zeros(none, nullptr);
    for (const QStringList& row : Cells(*zeros.Table()))
        EXPECT_EQ(row.mid(1), QStringList(5, "0 (0%)")) << row.front().toStdString();
    EXPECT_EQ(Values(zeros.ProgressChart()), (std::vector<int>(5, 0)));
}
