#include <gtest/gtest.h>

#include <QFontMetrics>

#include "controls/ChartWnd.h"
#include "controls/StatusDlg.h"

using namespace quillon;
using namespace quillon::gui;

namespace {

// 50 counted items: 20 strings, 2 dialogs with 10 controls, 3 popups with 12
// items, 3 version texts; 5 of them cannot be translated (empty texts), and
// 24 of the 45 translatable ones are translated.
CResourceInfo SampleProject() {
    CResourceInfo info;
    for (int i = 0; i < 20; ++i) {
        auto& string = info.m_Strings.AddChild(std::make_unique<CStringEntry>("Text " + std::to_string(i), 0, i));
        if (i < 10) string.SetTranslation("Tekst " + std::to_string(i), 0);
    }
    for (int d = 0; d < 2; ++d) {
        auto& dialog = info.m_Dialogs.AddChild(std::make_unique<CDialogEntry>("Dialog", 0, 100 + d));
        if (d == 0) dialog.SetTranslation("Dialoog", 0);
        for (int c = 0; c < 5; ++c) {
            std::string text = (d == 1 && c < 3) ? "" : "Control";
            auto& control = dialog.AddChild(std::make_unique<CDialogItem>(text, 0, c));
            if (!text.empty()) control.SetTranslation("Knop", 0);
        }
    }
    for (int p = 0; p < 3; ++p) {
        auto& popup = info.m_Menus.AddChild(std::make_unique<CMenuEntry>("Menu", 0, -1, 0x10));
        for (int m = 0; m < 4; ++m) {
            std::string text = (p < 2 && m == 3) ? "" : "Item";
            auto& item = popup.AddChild(std::make_unique<CMenuItem>(text, 0, 10 * p + m, 0));
            if (!text.empty() && m < 2) item.SetTranslation("Punt", 0);
        }
    }
    auto& table = info.m_VersionInfo.m_Root.AddChild(
        std::make_unique<CVersionBlock>("StringFileInfo", kVersionBlock, ""));
    auto& language = table.AddChild(std::make_unique<CVersionBlock>("040904b0", kVersionBlock, ""));
    for (const char* key : {"CompanyName", "FileDescription", "ProductName"})
        language.AddChild(std::make_unique<CVersionBlock>(key, kVersionText, "Quill"));
    info.m_VersionInfo.m_Root.AddChild(std::make_unique<CVersionBlock>("Translation", kVersionBinary, "", RIS_FIXED));
    info.Recount();
    info.m_nTranslated = 0; // as after a scan: no automatic translation yet
    return info;
}

std::vector<QString> Labels(const CChartWnd& chart) {
    std::vector<QString> labels;
    for (const auto& [text, rect] : chart.LabelRects()) labels.push_back(text);
    return labels;
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

// The tally itself is tested in core (TreeTally); the dialog charts it.
TEST(StatusTally, ChartsTheTreesTallyInWholePercent) {
    CResourceInfo info = SampleProject();
    CStatusDlg dialog(info, nullptr);
    EXPECT_EQ(dialog.Tally().All(), (KindTally{50, 24, 45, 24}));
    EXPECT_EQ(dialog.Tally().Of(ItemKind::Control), (KindTally{10, 7, 7, 7}));
    EXPECT_EQ(dialog.windowTitle(), "Translation Status");
    EXPECT_EQ(dialog.Chart().Title(), "Status");
    EXPECT_EQ(Percent(24, 45), 53);
    EXPECT_EQ(Percent(5, 0), 0);
    EXPECT_EQ(Percent(3'000'000'000u, 3'000'000'000u), 100); // no 32-bit overflow
}

// Bar values (percent of all items) and done parts (percent translated) by
// kind; an empty project charts empty bars.
TEST(StatusDialog, ChartsTheProjectByKind) {
    struct Case {
        CResourceInfo info;
        std::vector<int> values, done;
    };
    Case cases[] = {{SampleProject(), {40, 4, 20, 6, 24, 6, 10, 53}, {20, 2, 14, 0, 12, 0, 0, 0}},
                    {CResourceInfo(), {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}}};
    for (Case& c : cases) {
        CStatusDlg dialog(c.info, nullptr);
        CChartWnd& chart = dialog.Chart();
        EXPECT_EQ(Labels(chart), (std::vector<QString>{"Stringstable", "Dialog", "Controls", "Popup Menu",
                                                        "Menuitems", "Version", "Not Translatable", "Translated"}));
        std::vector<int> values, done;
        for (const auto& bar : chart.Bars()) {
            values.push_back(bar.m_nValue);
            done.push_back(bar.m_nDone);
        }
        EXPECT_EQ(values, c.values);
        EXPECT_EQ(done, c.done);
        // The translated share starts at the bar's left end and ends at its value.
        QRect strings = chart.BarRects()[0];
        QRect translated = chart.DoneRects()[0];
        if (c.done[0] == 0) {
            EXPECT_TRUE(translated.isEmpty());
            continue;
        }
        EXPECT_EQ(translated.left(), strings.left());
        EXPECT_EQ(translated.left() + translated.width(), chart.ValueX(c.done[0]));
        // Every label fits the column, every row the chart.
        QFontMetrics metrics(chart.ChartFont());
        for (const auto& [text, rect] : chart.LabelRects()) EXPECT_LE(metrics.horizontalAdvance(text), rect.width());
        EXPECT_LE(chart.TitleRow() + 8 * chart.RowHeight(), chart.height());
    }
}
