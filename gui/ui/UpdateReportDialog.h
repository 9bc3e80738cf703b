#pragma once
// What an update of the project did, shown once the merge is done: a summary
// of the counts and one row per change, so the translator sees which
// translations were lost and which were carried over to another item.

#include <QDialog>
#include <QString>
#include <QStringList>

#include "io/CodePage.h"
#include "project/ProjectUpdate.h"

class QAbstractItemModel;
class QLabel;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace quillon::gui {

// "2 changed, 3 added, 1 removed, 1 moved, 0 reused; 14 kept, 1 dialog rebuilt",
// then how many translations were lost and a note when something the list
// does not name changed too: the parts, and the one line they make.
QStringList UpdateSummaryParts(const UpdateReport& report);
QString UpdateSummary(const UpdateReport& report);

class CUpdateReportDlg : public QDialog {
    Q_OBJECT
public:
    enum Column { ColumnChange, ColumnPath, ColumnOldText, ColumnNewText, ColumnTranslation, ColumnCount };

    CUpdateReportDlg(const UpdateReport& report, const CodePage& codePage, QWidget* parent = nullptr);

    QLabel* SummaryLabel() const { return m_summary; }
    // The rows as shown: sorted by the column the user clicked, else in the
    // order of the tree.
    QAbstractItemModel* Changes() const;
    QTableView* ChangeView() const { return m_view; }

private:
    void Fill(const UpdateReport& report, const CodePage& codePage);

    QLabel* m_summary;
    QStandardItemModel* m_rows;
    QSortFilterProxyModel* m_sorted;
    QTableView* m_view;
};

} // namespace quillon::gui
