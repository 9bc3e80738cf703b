#include "ui/UpdateReportDialog.h"

#include <QBrush>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "controls/TextBridge.h"

namespace quillon::gui {

namespace {

QString TranslationCell(const UpdateChange& change, const CodePage& codePage) {
    if (change.translation.empty()) return {};
    QString text = ToQt(change.translation, codePage);
    return change.TranslationLost() ? CUpdateReportDlg::tr("lost: %1").arg(text)
                                    : CUpdateReportDlg::tr("kept: %1").arg(text);
}

QString PathCell(const UpdateChange& change) {
    QString path = QString::fromStdString(change.path);
    if (change.fromPath.empty()) return path;
    return CUpdateReportDlg::tr("%1 (from %2)").arg(path, QString::fromStdString(change.fromPath));
}

QString KindName(UpdateChangeKind kind) {
    switch (kind) {
    case UpdateChangeKind::Added: return CUpdateReportDlg::tr("added");
    case UpdateChangeKind::Removed: return CUpdateReportDlg::tr("removed");
    case UpdateChangeKind::Changed: return CUpdateReportDlg::tr("changed");
    case UpdateChangeKind::Moved: return CUpdateReportDlg::tr("moved");
    case UpdateChangeKind::Reused: return CUpdateReportDlg::tr("reused");
    }
    return {};
}

QStandardItem* Cell(const QString& text) {
    auto* cell = new QStandardItem(text);
    cell->setEditable(false);
    cell->setToolTip(text);
    return cell;
}

} // namespace

QStringList UpdateSummaryParts(const UpdateReport& report) {
    auto count = [&](UpdateChangeKind kind) { return static_cast<qulonglong>(report.Count(kind)); };
    QStringList parts{CUpdateReportDlg::tr("%1 changed, %2 added, %3 removed, %4 moved, %5 reused; %6 kept, %7 rebuilt")
                          .arg(count(UpdateChangeKind::Changed))
                          .arg(count(UpdateChangeKind::Added))
                          .arg(count(UpdateChangeKind::Removed))
                          .arg(count(UpdateChangeKind::Moved))
                          .arg(count(UpdateChangeKind::Reused))
                          .arg(static_cast<qulonglong>(report.kept))
                          .arg(CUpdateReportDlg::tr("%n dialogs", nullptr, int(report.rebuilt)))};
    auto lost = std::ranges::count_if(report.changes, [](const UpdateChange& change) {
        return change.TranslationLost();
    });
    if (lost != 0) parts << CUpdateReportDlg::tr("%n translations lost", nullptr, int(lost));
    if (report.otherChanges)
        parts << CUpdateReportDlg::tr("the module also changed in ways the list does not name "
                                      "(order, menu options, hotkeys, version values or file version)");
    return parts;
}

QString UpdateSummary(const UpdateReport& report) { return UpdateSummaryParts(report).join(QStringLiteral("; ")); }

CUpdateReportDlg::CUpdateReportDlg(const UpdateReport& report, const CodePage& codePage, QWidget* parent)
    : QDialog(parent), m_summary(new QLabel(this)), m_rows(new QStandardItemModel(0, ColumnCount, this)),
      m_sorted(new QSortFilterProxyModel(this)), m_view(new QTableView(this)) {
    setWindowTitle(tr("Update Report"));
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setWordWrap(true);
    // One part a line, each starting as a sentence.
    QStringList lines = UpdateSummaryParts(report);
    for (QString& line : lines) line[0] = line[0].toUpper();
    m_summary->setText(lines.join(QLatin1Char('\n')));
    m_rows->setHorizontalHeaderLabels({tr("Change"), tr("Path"), tr("Old Text"), tr("New Text"), tr("Translation")});
    Fill(report, codePage);
    m_sorted->setSourceModel(m_rows);
    m_view->setObjectName(QStringLiteral("changes"));
    m_view->setModel(m_sorted);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);
    // No column sorted at first: the rows keep the order of the tree.
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    m_view->resizeColumnsToContents();
    for (int column = 0; column < ColumnCount; ++column)
        m_view->setColumnWidth(column, std::min(m_view->columnWidth(column), 260));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_view, 1);
    layout->addWidget(buttons);
    resize(900, 480);
}

QAbstractItemModel* CUpdateReportDlg::Changes() const { return m_sorted; }

void CUpdateReportDlg::Fill(const UpdateReport& report, const CodePage& codePage) {
    for (const UpdateChange& change : report.changes) {
        QList<QStandardItem*> row{Cell(KindName(change.kind)), Cell(PathCell(change)), Cell(ToQt(change.oldText, codePage)),
                                  Cell(ToQt(change.newText, codePage)), Cell(TranslationCell(change, codePage))};
        if (change.TranslationLost())
            row[ColumnTranslation]->setForeground(QBrush(QColor(200, 0, 0)));
        m_rows->appendRow(row);
    }
}

} // namespace quillon::gui
