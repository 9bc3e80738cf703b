#include "controls/StatusDlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <iterator>

#include "controls/ChartWnd.h"

namespace quillon::gui {

namespace {

struct RootRow {
    Root root;
    const char* label;
    QColor colour;
};

// One row and one bar per root of the tree, in core's order.
const RootRow kRootRows[] = {
    {Root::Strings, QT_TRANSLATE_NOOP("quillon::gui::CStatusDlg", "Strings"), QColor(0, 0, 128)},
    {Root::Menus, QT_TRANSLATE_NOOP("quillon::gui::CStatusDlg", "Menus"), QColor(0, 128, 128)},
    {Root::Dialogs, QT_TRANSLATE_NOOP("quillon::gui::CStatusDlg", "Dialogs"), QColor(128, 0, 128)},
    {Root::Version, QT_TRANSLATE_NOOP("quillon::gui::CStatusDlg", "Version"), QColor(166, 26, 57)},
};
const QColor kTotalColour(220, 0, 0);

// "12 (34%)": a count and its share of `whole`.
QString CountCell(std::uint32_t count, std::uint32_t whole) {
    return QStringLiteral("%1 (%2%)").arg(count).arg(Percent(count, whole));
}

// Translated and untranslated are shares of the translatable items (an
// empty text or a fixed value has nothing to translate); the items column
// is the kind's share of the project, the others shares of the kind's items.
QStringList RowCells(const KindTally& kind, const KindTally& all) {
    return {CountCell(kind.m_nItems, all.m_nItems), CountCell(kind.m_nTranslatedTranslatable, kind.m_nTranslatable),
            CountCell(kind.Untranslated(), kind.m_nTranslatable), CountCell(kind.NotTranslatable(), kind.m_nItems),
            CountCell(kind.m_nChanged, kind.m_nItems)};
}

CChartWnd* NewChart(QWidget* parent) {
    auto* chart = new CChartWnd(parent);
    chart->Initialize();
    chart->SetTitle(QString());
    chart->SetBackground(chart->palette().color(QPalette::Button), true);
    // The title row, five bars and a margin.
    chart->setMinimumSize(260, 24 + 5 * 24 + 12);
    return chart;
}

QGroupBox* Framed(const QString& title, QWidget* content, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

} // namespace

int Percent(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? 0 : static_cast<int>(part * 100 / whole);
}

CStatusDlg::CStatusDlg(const CResourceInfo& info, QWidget* parent)
    : QDialog(parent), m_tally(TallyTree(info)), m_progress(NewChart(this)), m_share(NewChart(this)),
      m_table(new QTableWidget(static_cast<int>(std::size(kRootRows)) + 1, ColumnCount, this)) {
    setWindowTitle(tr("Translation Status"));
    FillTable();
    FillCharts();
    PlaceControls();
}

void CStatusDlg::FillTable() {
    m_table->setObjectName(QStringLiteral("statusTable"));
    m_table->setHorizontalHeaderLabels(
        {tr("Items"), tr("Translated"), tr("Untranslated"), tr("Not translatable"), tr("Changed")});
    QStringList rows;
    for (const RootRow& row : kRootRows) rows << tr(row.label);
    m_table->setVerticalHeaderLabels(rows << tr("Total"));
    const KindTally all = m_tally.All();
    auto fill = [&](int row, const KindTally& kind) {
        const QStringList cells = RowCells(kind, all);
        for (int column = 0; column < ColumnCount; ++column) {
            auto* cell = new QTableWidgetItem(cells.at(column));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, cell);
        }
    };
    int row = 0;
    for (const RootRow& root : kRootRows) fill(row++, m_tally.Of(root.root));
    fill(row, all);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

// Progress and make-up are two questions, so two charts: a kind that is most
// of the project but barely started must not look like a finished one.
void CStatusDlg::FillCharts() {
    const KindTally all = m_tally.All();
    for (const RootRow& row : kRootRows) {
        const KindTally& kind = m_tally.Of(row.root);
        m_progress->AddBar(tr(row.label), Percent(kind.m_nTranslatedTranslatable, kind.m_nTranslatable), row.colour);
        m_share->AddBar(tr(row.label), Percent(kind.m_nItems, all.m_nItems), row.colour);
    }
    m_progress->AddBar(tr("Total"), Percent(all.m_nTranslatedTranslatable, all.m_nTranslatable), kTotalColour);
}

void CStatusDlg::PlaceControls() {
    auto* charts = new QHBoxLayout;
    charts->addWidget(Framed(tr("Progress: translated share of each kind"), m_progress, this));
    charts->addWidget(Framed(tr("Share of the project: each kind's part of all items"), m_share, this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CStatusDlg::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(charts, 1);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
}

} // namespace quillon::gui
