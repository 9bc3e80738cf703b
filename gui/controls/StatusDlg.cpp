#include "controls/StatusDlg.h"

#include <QFontMetrics>
#include <QPushButton>

#include "controls/ChartWnd.h"

namespace quillon::gui {

namespace {

void CountItem(const CResourceItem& item, KindTally& kind, StatusTally& tally) {
    ++kind.m_nItems;
    if (item.IsTranslated()) ++kind.m_nTranslated;
    if (item.IsTranslatable()) {
        ++tally.m_nTranslatable;
        if (item.IsTranslated()) ++tally.m_nTranslatedTranslatable;
    } else {
        ++tally.m_nNotTranslatable;
    }
}

void CountMenu(const CResourceItem& node, StatusTally& tally) {
    CountItem(node, node.GetKind() == ItemKind::PopupMenu ? tally.m_Popups : tally.m_MenuItems, tally);
    for (const auto& child : node.GetChildren()) CountMenu(*child, tally);
}

// Only text values are the translator's to change; the blocks that group
// them and the binary values are structure.
void CountVersion(const CResourceItem& node, StatusTally& tally) {
    const auto* block = dynamic_cast<const CVersionBlock*>(&node);
    if (block && block->m_nBlockType == kVersionText) CountItem(node, tally.m_Version, tally);
    for (const auto& child : node.GetChildren()) CountVersion(*child, tally);
}

// Dialog units of the dialog's font: a quarter of the average letter width
// across, an eighth of the line height down, as the resource templates mean.
QRect MapDialogRect(const QFontMetrics& metrics, int x, int y, int width, int height) {
    QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int baseX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    int baseY = metrics.height();
    return {x * baseX / 4, y * baseY / 8, width * baseX / 4, height * baseY / 8};
}

} // namespace

StatusTally TallyStatus(const CResourceInfo& info) {
    StatusTally tally;
    for (const auto& string : info.m_Strings.GetChildren()) CountItem(*string, tally.m_Strings, tally);
    for (const auto& menu : info.m_Menus.GetChildren()) CountMenu(*menu, tally);
    for (const auto& dialog : info.m_Dialogs.GetChildren()) {
        CountItem(*dialog, tally.m_Dialogs, tally);
        for (const auto& control : dialog->GetChildren()) CountItem(*control, tally.m_Controls, tally);
    }
    CountVersion(info.m_VersionInfo.m_Root, tally);
    return tally;
}

int Percent(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? 0 : static_cast<int>(part * 100 / whole);
}

CStatusDlg::CStatusDlg(const CResourceInfo& info, QWidget* parent)
    : QDialog(parent), m_tally(TallyStatus(info)), m_wndChart(new CChartWnd(this)) {
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
    std::uint32_t all = m_tally.All();
    auto addKind = [&](const QString& label, const KindTally& kind, QColor colour) {
        chart.AddBar(label, Percent(kind.m_nItems, all), colour, -1, Percent(kind.m_nTranslated, all));
    };
    addKind(QStringLiteral("Stringstable"), m_tally.m_Strings, QColor(0, 0, 128));
    addKind(QStringLiteral("Dialog"), m_tally.m_Dialogs, QColor(128, 0, 128));
    addKind(QStringLiteral("Controls"), m_tally.m_Controls, QColor(26, 166, 57));
    addKind(QStringLiteral("Popup Menu"), m_tally.m_Popups, QColor(150, 150, 0));
    addKind(QStringLiteral("Menuitems"), m_tally.m_MenuItems, QColor(0, 128, 128));
    addKind(QStringLiteral("Version"), m_tally.m_Version, QColor(166, 26, 57));
    chart.AddBar(QStringLiteral("Not Translatable"), Percent(m_tally.m_nNotTranslatable, all), QColor(50, 50, 50));
    chart.AddBar(QStringLiteral("Translated"),
                 Percent(m_tally.m_nTranslatedTranslatable, m_tally.m_nTranslatable), QColor(220, 0, 0));
}

} // namespace quillon::gui
