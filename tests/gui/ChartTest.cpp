#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>

#include "controls/ChartWnd.h"
#include "controls/StatusDlg.h"
#include "extract/DialogTemplate.h"

using namespace quillon;
using namespace quillon::gui;

namespace {

const QColor kBack(240, 230, 200);
const QColor kNavy(0, 0, 128);

QColor Pixel(const QImage& image, int x, int y) { return image.pixelColor(x, y); }
int Brightness(const QColor& colour) { return colour.red() + colour.green() + colour.blue(); }
int MiddleY(const QRect& rect) { return rect.top() + rect.height() / 2; }

// A chart as the status dialog sets one up, with bars of known values.
struct TestChart {
    CChartWnd chart;
    TestChart() {
        chart.resize(400, 250);
        chart.Initialize();
        chart.SetBackground(kBack, true);
        chart.AddBar("Alpha", 100, kNavy);
        chart.AddBar("Be", 50, QColor(128, 0, 128));
        chart.AddBar("Gamma", 25, QColor(26, 166, 57));
        chart.AddBar("Zero", 0, QColor(220, 0, 0));
    }
    QImage Grab() { return chart.grab().toImage(); }
    int Column() const { return QFontMetrics(chart.ChartFont()).horizontalAdvance("Gamma") + 4; }
    float Scale() const { return static_cast<float>(400 - Column() - 24) / 100.0f; }
};

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

// Which label decides the column: the longest among the first bars, where a
// shorter second bar still counts as measured.
TEST(Chart, LabelColumnFitsTheMeasuredLabel) {
    struct Case {
        std::vector<const char*> labels;
        int measured;
    };
    const Case cases[] = {{{"Alpha", "Be", "Gamma", "Zero"}, 2}, {{"Stringstable", "Dialog", "Ctl"}, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.labels.front());
        CChartWnd chart;
        chart.resize(300, 200);
        chart.Initialize();
        for (const char* label : c.labels) chart.AddBar(label, 10, kNavy);
        EXPECT_EQ(chart.MeasuredBar(), c.measured);
        EXPECT_EQ(chart.LabelColumn(),
                  QFontMetrics(chart.ChartFont()).horizontalAdvance(c.labels[c.measured]) + 4);
    }
}

TEST(Chart, BarsAreProportionalToTheirValuesAndLabelledInTheirRows) {
    TestChart test;
    const CChartWnd& chart = test.chart;
    EXPECT_FLOAT_EQ(chart.Scale(), test.Scale());
    auto bars = chart.BarRects();
    auto labels = chart.LabelRects();
    ASSERT_EQ(bars.size(), 4u);
    ASSERT_EQ(labels.size(), 4u);
    const char* texts[] = {"Alpha", "Be", "Gamma", "Zero"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(labels[i].first, texts[i]);
        EXPECT_EQ(bars[i].left(), bars[0].left());
        EXPECT_LT(labels[i].second.right(), bars[i].left());
        EXPECT_EQ(MiddleY(labels[i].second), MiddleY(bars[i]));
        if (i > 0) {
            EXPECT_GT(bars[i].top(), bars[i - 1].bottom());
        }
    }
    // Half the value, half the length (to the pixel the truncation costs).
    EXPECT_EQ(bars[0].left() + bars[0].width(), chart.ValueX(100));
    EXPECT_NEAR((bars[1].width() + 1) * 2, bars[0].width() + 1, 1);
    EXPECT_NEAR((bars[2].width() + 1) * 4, bars[0].width() + 1, 3);
    EXPECT_EQ(bars[3].width(), 2); // a zero value still shows as a sliver
    // The label text is really painted: dark pixels inside the first label.
    QImage image = test.Grab();
    QRect first = labels[0].second;
    int dark = 0;
    for (int y = first.top(); y <= first.bottom(); ++y)
        for (int x = first.left(); x <= first.right(); ++x) dark += Brightness(Pixel(image, x, y)) < 300;
    EXPECT_GT(dark, 10);
    // The value labels read 0% to 100% at the grid steps.
    auto values = chart.ValueLabelRects();
    ASSERT_EQ(values.size(), 5u);
    const char* percents[] = {"0%", "25%", "50%", "75%", "100%"};
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(values[k].first, percents[k]);
        EXPECT_NEAR(values[k].second.center().x(), chart.StepX(k), 2);
    }
    EXPECT_EQ(chart.StepX(4), chart.ValueX(100));
}

TEST(Chart, RefusesAnEmptyRangeAndTheSameTitle) {
    TestChart test;
    EXPECT_FALSE(test.chart.SetRange(50, 50, 2));
    EXPECT_FALSE(test.chart.SetRange(60, 10, 2));
    EXPECT_EQ(test.chart.ValueLabelRects().size(), 5u);
    EXPECT_EQ(test.chart.ValueLabelRects().back().first, "100%");
    EXPECT_FLOAT_EQ(test.chart.Scale(), test.Scale());
    test.chart.resize(401, 250); // a later layout must still use the old range
    test.Grab();
    EXPECT_FLOAT_EQ(test.chart.Scale(), static_cast<float>(401 - test.Column() - 24) / 100.0f);

    QString refusal;
    test.chart.m_refuseTitle = [&](const QString& message) { refusal = message; };
    EXPECT_EQ(test.chart.Title(), "User");
    EXPECT_TRUE(test.chart.SetTitle("Status"));
    EXPECT_TRUE(refusal.isEmpty());
    EXPECT_FALSE(test.chart.SetTitle("Status"));
    EXPECT_EQ(refusal, "They are the same ,  please input another name!\n");
    EXPECT_EQ(test.chart.Title(), "Status");
}

// The tally itself is tested in core (TreeTally); the dialog charts it.
TEST(StatusTally, ChartsTheTreesTallyInWholePercent) {
    CResourceInfo info = SampleProject();
    CStatusDlg dialog(info, nullptr);
    EXPECT_EQ(dialog.Tally().All(), (KindTally{50, 24, 45, 24}));
    EXPECT_EQ(dialog.Tally().Of(ItemKind::Control), (KindTally{10, 7, 7, 7}));
    EXPECT_EQ(Percent(24, 45), 53);
    EXPECT_EQ(Percent(5, 0), 0);
    EXPECT_EQ(Percent(3'000'000'000u, 3'000'000'000u), 100); // no 32-bit overflow
}

TEST(StatusDialog, ChartsTheProjectByKindWithTranslationsMadeByHand) {
    CResourceInfo info = SampleProject();
    CStatusDlg dialog(info, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Translation Status");
    auto* chart = dialog.findChild<CChartWnd*>();
    ASSERT_EQ(chart, &dialog.Chart());
    EXPECT_EQ(chart->Title(), "Status");
    EXPECT_EQ(Labels(*chart), (std::vector<QString>{"Stringstable", "Dialog", "Controls", "Popup Menu", "Menuitems",
                                                     "Version", "Not Translatable", "Translated"}));
    const auto& bars = chart->Bars();
    const int values[] = {40, 4, 20, 6, 24, 6, 10, 53};
    const int done[] = {20, 2, 14, 0, 12, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bars[i].m_nValue, values[i]);
        EXPECT_EQ(bars[i].m_nDone, done[i]);
    }
    // The widest label decides the column, so every label fits.
    QFontMetrics metrics(chart->ChartFont());
    EXPECT_EQ(chart->MeasuredBar(), 6);
    EXPECT_EQ(chart->LabelColumn(), metrics.horizontalAdvance("Not Translatable") + 4);
    for (const auto& [text, rect] : chart->LabelRects()) EXPECT_LE(metrics.horizontalAdvance(text), rect.width());
    // All eight rows fit the chart, and the OK button sits below it.
    EXPECT_LE(chart->TitleRow() + 8 * chart->RowHeight(), chart->height());
    auto* ok = dialog.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_GT(ok->y(), chart->geometry().bottom());
    EXPECT_LE(ok->geometry().bottom(), dialog.height());
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// The template's dialog units become pixels as the dialog manager converts
// them, rounded to nearest. The font is chosen so that rounding and cutting
// off differ for the dialog's width.
TEST(StatusDialog, PlacesItsControlsInRoundedDialogUnits) {
    const QFont original = QApplication::font();
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    auto unitsOf = [&](const QFont& font) {
        QFontMetrics metrics(font);
        return BaseUnitsFromMetrics(metrics.horizontalAdvance(letters), metrics.height());
    };
    QFont font = original;
    for (int pixels = 8; pixels < 40 && unitsOf(font).x % 4 < 2; ++pixels) font.setPixelSize(pixels);
    DialogBaseUnits units = unitsOf(font);
    ASSERT_GE(units.x % 4, 2) << "no font size with base units that round up";
    QApplication::setFont(font);
    CStatusDlg dialog(CResourceInfo(), nullptr);
    QApplication::setFont(original);
    auto rect = [&](int x, int y, int cx, int cy) {
        PixelRect pixels = DialogUnitsToPixels(x, y, cx, cy, units);
        return QRect(pixels.x, pixels.y, pixels.width, pixels.height);
    };
    EXPECT_EQ(dialog.size(), rect(0, 0, 265, 170).size());
    EXPECT_EQ(dialog.size().width(), (265 * units.x + 2) / 4); // a half rounds up
    EXPECT_EQ(dialog.findChild<QPushButton*>()->geometry(), rect(107, 149, 50, 14));
}

TEST(StatusDialog, TranslatedShareIsPaintedDarkerFromTheBarsLeftEnd) {
    CResourceInfo info = SampleProject();
    CStatusDlg dialog(info, nullptr);
    CChartWnd& chart = dialog.Chart();
    QImage image = chart.grab().toImage();
    QRect strings = chart.BarRects()[0];
    QRect done = chart.DoneRects()[0];
    ASSERT_EQ(done.left(), strings.left());
    EXPECT_EQ(done.left() + done.width(), chart.ValueX(20));
    EXPECT_TRUE(chart.DoneRects()[3].isEmpty()); // no popup is translated
    // Just across the done part's end the bar is markedly lighter.
    int y = MiddleY(strings);
    EXPECT_GT(Brightness(Pixel(image, done.right() + 2, y)), Brightness(Pixel(image, done.right() - 1, y)) + 60);
}

TEST(StatusDialog, EmptyProjectChartsEmptyBars) {
    CResourceInfo empty;
    CStatusDlg dialog(empty, nullptr);
    CChartWnd& chart = dialog.Chart();
    ASSERT_EQ(chart.Bars().size(), 8u);
    ASSERT_FALSE(chart.grab().toImage().isNull());
    for (std::size_t i = 0; i < chart.Bars().size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(chart.Bars()[i].m_nValue, 0);
        EXPECT_EQ(chart.BarRects()[i].width(), 2);
        EXPECT_TRUE(chart.DoneRects()[i].isEmpty());
    }
}
