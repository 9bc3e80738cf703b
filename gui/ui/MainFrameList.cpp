// The main window's item list: the view with its filter bar and preview,
// selecting items across resources, and the commands that find the next one.

#include <QHeaderView>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "model/TreeRoots.h"
#include "ui/ItemPreview.h"
#include "ui/MainFrame.h"
#include "ui/ProblemsDock.h"
#include "ui/StringListView.h"
#include "ui/SuggestionsDock.h"

namespace quillon::gui {

namespace {
// Rows from which a filter pass over the list is felt between two keys.
constexpr int kLongList = 5000;
} // namespace

void CMainFrame::CreateCentralWidget() {
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName("Splitter");
    m_tree = new QTreeView(m_splitter);
    m_tree->setObjectName("ContentsView");
    m_tree->setModel(&m_contents);
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* listSplitter = new QSplitter(Qt::Vertical, m_splitter);
    listSplitter->setObjectName("ListSplitter");
    auto* listPane = new QWidget(listSplitter);
    auto* listLayout = new QVBoxLayout(listPane);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    m_filterBar = new CFilterBar(listPane);
    m_filterBar->hide();
    m_list = new CStringListView(listPane);
    m_list->setObjectName("StringView");
    m_list->setModel(&m_filter);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    SetupListHeader();
    listLayout->addWidget(m_filterBar);
    listLayout->addWidget(m_list);
    m_preview = new CItemPreview(listSplitter);
    listSplitter->setStretchFactor(0, 4);
    listSplitter->setStretchFactor(1, 1);
    m_splitter->setStretchFactor(1, 3);
    m_splitter->setSizes({260, 840});
    setCentralWidget(m_splitter);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &CMainFrame::OnSelectionChanged);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        UpdatePreview();
        UpdateActions();
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, &CMainFrame::OnListDoubleClicked);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CMainFrame::ShowListMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &CMainFrame::ShowTreeMenu);
    m_filterBar->SetPauseWhile([this] { return m_strings.rowCount() > kLongList; });
    connect(m_filterBar, &CFilterBar::filterChanged, this, [this](const ListFilter& filter) {
        const CResourceItem* current = SelectedItem();
        m_filter.SetFilter(filter);
        m_filterBar->ShowPatternValid(m_filter.PatternIsValid());
        if (current) SelectRow(m_strings.RowOf(current));
        UpdatePreview();
        UpdateActions();
    });
    auto focusList = [this] {
        m_list->setFocus();
        if (!m_list->currentIndex().isValid() && m_filter.rowCount() > 0) m_list->setCurrentIndex(m_filter.index(0, 0));
    };
    connect(m_filterBar, &CFilterBar::closed, this, focusList);
    connect(m_filterBar, &CFilterBar::listRequested, this, focusList);
}

// Source and Translated share the width the short columns leave; the
// resource path only shows in the flat view.
void CMainFrame::SetupListHeader() {
    QHeaderView* header = m_list->horizontalHeader();
    header->setMinimumSectionSize(40);
    SetupTextColumns(header,
                     {CStringListModel::ColumnId, CStringListModel::ColumnHotkey, CStringListModel::ColumnTransHotkey,
                      CStringListModel::ColumnPath},
                     {CStringListModel::ColumnSource, CStringListModel::ColumnTranslated});
    m_list->setColumnHidden(CStringListModel::ColumnPath, true);
}

QTableView* CMainFrame::StringView() const { return m_list; }

CResourceItem* CMainFrame::SelectedItem() const {
    QModelIndex current = m_filter.mapToSource(m_list->currentIndex());
    return current.isValid() ? m_strings.ItemAt(current.row()) : nullptr;
}

// A double-click on a cell edited in place edits it; elsewhere it opens the dialog.
void CMainFrame::OnListDoubleClicked(const QModelIndex& index) {
    if (!(index.flags() & Qt::ItemIsEditable)) OnTranslate();
}

bool CMainFrame::SelectRow(int row) {
    QModelIndex index = m_filter.mapFromSource(m_strings.index(row, CStringListModel::ColumnId));
    if (!index.isValid()) return false;
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
    return true;
}

// An item the filter hides is shown by clearing the filter: the Problems
// and Output docks ask for items wherever they are.
bool CMainFrame::SelectItem(const CResourceItem* item) {
    if (!item || !m_doc.IsLoaded()) return false;
    if (!m_filter.Accepts(*item)) m_filterBar->Clear();
    if (m_strings.IsFlat()) return SelectRow(m_strings.RowOf(item));
    const CResourceItem* parent = nullptr;
    WalkItems(std::as_const(m_doc.Project().m_ResourceInfo), [&](const ItemVisit<const CResourceItem>& visit) {
        if (&visit.item == item) parent = visit.Parent();
    });
    // The node that lists it: its popup, menu or dialog; a dialog's own
    // node for its caption; the string table for strings.
    const auto& strings = m_doc.Project().m_ResourceInfo.m_Strings.GetChildren();
    const CResourceItem* table = strings.empty() ? nullptr : strings.front().get();
    for (const CResourceItem* node : {parent, item, table}) {
        QModelIndex index = m_contents.IndexOf(node);
        if (!index.isValid()) continue;
        m_tree->setCurrentIndex(index);
        if (SelectRow(m_strings.RowOf(item))) return true;
    }
    return false;
}

// In the project's order from the current item on, wrapping around once;
// items the filter hides are passed over. The list takes the keys then, so
// that the translator can start typing wherever the command was given.
bool CMainFrame::SelectNext(const std::function<bool(const CResourceItem&)>& wanted) {
    if (!m_doc.IsLoaded()) return false;
    std::vector<const CResourceItem*> order;
    WalkItems(std::as_const(m_doc.Project().m_ResourceInfo), [&](const ItemVisit<const CResourceItem>& visit) {
        if (visit.item.IsTranslatable()) order.push_back(&visit.item);
    });
    const CResourceItem* current = SelectedItem();
    auto at = std::find(order.begin(), order.end(), current);
    std::size_t start = at == order.end() ? 0 : static_cast<std::size_t>(at - order.begin()) + 1;
    for (std::size_t step = 0; step < order.size(); ++step) {
        const CResourceItem* item = order[(start + step) % order.size()];
        if (item != current && wanted(*item) && m_filter.Accepts(*item) && SelectItem(item)) {
            m_list->setFocus();
            return true;
        }
    }
    statusBar()->showMessage(tr("No other item found"), 5000);
    return false;
}

bool CMainFrame::OnNextUntranslated() {
    return SelectNext([](const CResourceItem& item) { return !item.IsTranslated(); });
}

bool CMainFrame::OnNextProblem() {
    // The checks may not have run since the last change; running them again
    // on every press took a third of a second on a project of 100,000 items.
    m_problemsBar->RefreshIfPending();
    return SelectNext([this](const CResourceItem& item) { return m_strings.HasProblem(item); });
}

void CMainFrame::OnFind() {
    if (m_doc.IsLoaded()) m_filterBar->Activate();
}

// Leaving the flat view shows the tree's node, keeping the current item
// where that node lists it.
void CMainFrame::OnFlatView(bool flat) {
    const CResourceItem* current = SelectedItem();
    if (flat)
        m_strings.ShowAll();
    else
        m_strings.ShowItems(SelectedNode());
    m_list->setColumnHidden(CStringListModel::ColumnPath, !flat);
    if (current) SelectRow(m_strings.RowOf(current));
    UpdatePreview();
    UpdateActions();
}

void CMainFrame::UpdatePreview() {
    m_preview->ShowItem(SelectedItem(), m_doc.GetCodePage());
    m_suggestionsBar->List()->ShowItem(SelectedItem());
}

} // namespace quillon::gui
