#include "controls/StatusDlg.h"

#include <QFontMetrics>
#include <QPushButton>

#include "controls/ChartWnd.h"
#include "extract/DialogTemplate.h"

namespace quillon::gui {

namespace {

// Dialog units of the dialog's font, converted as the dialog manager does.
QRect MapDialogRect(const QFontMetrics& metrics, int x, int y, int width, int height) {
    QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    DialogBaseUnits units = BaseUnitsFromMetrics(metrics.horizontalAdvance(letters), metrics.height());
    PixelRect pixels = DialogUnitsToPixels(x, y, width, height, units);
    return {pixels.x, pixels.y, pixels.width, pixels.height};
}

} // namespace

int Percent(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? 0 : static_cast<int>(part * 100 / whole);
}

CStatusDlg::CStatusDlg(const CResourceInfo& info, QWidget* parent)
    : QDialog(parent), m_tally(TallyTree(info)), m_wndChart(new CChartWnd(this)) {
    setWindowTitle(tr("Translation Status"));
    PlaceControls();
    m_wndChart->Initialize();
    FillChart();
}

// The template's layout: 265 × 170 dialog units, the chart at (7, 7) over
// 251 × 136, the OK button centred below it.
void CStatusDlg::PlaceControls() {
    QFontMetrics metrics(font());
    setFixedSize(MapDialogRect(metrics, 0, 0, 265, 170).size());
    m_wndChart->setGeometry(MapDialogRect(metrics, 7, 7, 251, 136));
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(MapDialogRect(metrics, 107, 149, 50, 14));
    connect(ok, &QPushButton::clicked, this, &CStatusDlg::accept);
}

// Kind bars are shares of all items; the darker part at a kind bar's left is
// the share of all items that are of that kind and translated, so the bar's
// dark and light parts compare directly with the other bars. "Translated" is
// relative to the translatable items only, so the shares need not add up.
void CStatusDlg::FillChart() {
    CChartWnd& chart = *m_wndChart;
    chart.SetRange(0, 100, 4);
    chart.SetBackground(palette().color(QPalette::Button), true);
    chart.SetTitle(tr("Status"));
    KindTally all = m_tally.All();
    auto addKind = [&](const QString& label, ItemKind kind, QColor colour) {
        const KindTally& tally = m_tally.Of(kind);
        chart.AddBar(label, Percent(tally.m_nItems, all.m_nItems), colour, -1,
                     Percent(tally.m_nTranslated, all.m_nItems));
    };
    addKind(tr("Stringstable"), ItemKind::String, QColor(0, 0, 128));
    addKind(tr("Dialog"), ItemKind::Dialog, QColor(128, 0, 128));
    addKind(tr("Controls"), ItemKind::Control, QColor(26, 166, 57));
    addKind(tr("Popup Menu"), ItemKind::PopupMenu, QColor(150, 150, 0));
    addKind(tr("Menuitems"), ItemKind::MenuItem, QColor(0, 128, 128));
    addKind(tr("Version"), ItemKind::Version, QColor(166, 26, 57));
    chart.AddBar(tr("Not Translatable"), Percent(all.NotTranslatable(), all.m_nItems), QColor(50, 50, 50));
    chart.AddBar(tr("Translated"), Percent(all.m_nTranslatedTranslatable, all.m_nTranslatable),
                 QColor(220, 0, 0));
}

} // namespace quillon::gui
