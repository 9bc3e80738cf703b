// The window's Find and Replace, its History dock, and what it remembers of
// each project's tree between sessions.

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTreeView>
#include <QUrl>
#include <QUndoStack>
#include <unordered_map>
#include <unordered_set>

#include "model/ItemPath.h"
#include "ui/HistoryDock.h"
#include "ui/MainFrame.h"
#include "ui/ReplaceDialog.h"
#include "controls/AppSettings.h"

namespace quillon::gui {

namespace {

// Each project's entry, under its canonical path (percent-encoded: a path's
// slashes would otherwise be read as groups); a new project not saved yet
// under the absolute path it will be saved at.
QString ProjectGroup(const QString& projectPath) {
    if (projectPath.isEmpty()) return {};
    QFileInfo file(projectPath);
    QString canonical = file.exists() ? file.canonicalFilePath() : file.absoluteFilePath();
    return QStringLiteral("Projects/") + QString::fromLatin1(QUrl::toPercentEncoding(canonical));
}


using ItemPaths = std::unordered_map<const CResourceItem*, QString>;

// A node is known by its item's address, which survives translating and
// updating; a folder without an item by its parent's key and its text.
QString NodeKey(const CContentsModel& contents, const QModelIndex& index, const ItemPaths& paths) {
    if (!index.isValid()) return {};
    const CResourceItem* item = contents.ItemAt(index);
    auto path = item ? paths.find(item) : paths.end();
    if (path != paths.end()) return path->second;
    return NodeKey(contents, index.parent(), paths) + QStringLiteral("/") + index.data(Qt::DisplayRole).toString();
}

template <typename Visit>
void WalkNodes(const CContentsModel& contents, const QModelIndex& parent, Visit&& visit) {
    for (int row = 0; row < contents.rowCount(parent); ++row) {
        QModelIndex index = contents.index(row, 0, parent);
        visit(index);
        WalkNodes(contents, index, visit);
    }
}

// The addresses of the tree's items and of `selected`; the keys need no other.
ItemPaths PathsOf(const CResourceInfo& info, const CContentsModel& contents, const CResourceItem* selected) {
    std::unordered_set<const CResourceItem*> wanted;
    if (selected) wanted.insert(selected);
    WalkNodes(contents, {}, [&](const QModelIndex& index) {
        if (const CResourceItem* item = contents.ItemAt(index)) wanted.insert(item);
    });
    ItemPaths paths;
    WalkPathsOf(info, [&](const CResourceItem& item) { return wanted.contains(&item); },
                [&](const CResourceItem& item, const std::string& path) {
                    paths.emplace(&item, QString::fromStdString(path));
                });
    return paths;
}

} // namespace

void CMainFrame::CreateDeskTools() {
    auto* replace = AddAction("EditReplace", tr("Re&place..."), tr("Find and replace a text in the translations"));
    replace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(replace, &QAction::triggered, this, &CMainFrame::OnReplace);
    m_replaceDialog = new CReplaceDialog(m_doc, this);
    m_historyBar = new CHistoryBar(m_doc.UndoStack(), this);
    addDockWidget(Qt::RightDockWidgetArea, m_historyBar);
    m_historyBar->hide();
    QAction* history = m_historyBar->toggleViewAction();
    history->setText(tr("&History"));
    history->setObjectName("EditHistory");
    history->setStatusTip(tr("Show every change since the project was opened; click one to go back to it"));
}

void CMainFrame::OnReplace() {
    if (!m_doc.HasItems()) return;
    QModelIndex node = m_tree->currentIndex();
    m_replaceDialog->SetScope(SelectedNode(), node.data(Qt::DisplayRole).toString());
    m_replaceDialog->show();
    m_replaceDialog->raise();
    m_replaceDialog->activateWindow();
    m_replaceDialog->FindEdit()->setFocus();
    m_replaceDialog->FindEdit()->selectAll();
}

void CMainFrame::SaveTreeState() {
    QString group = ProjectGroup(m_doc.PathName());
    if (group.isEmpty() || !m_doc.IsLoaded() || m_contents.rowCount() == 0) return;
    const CResourceItem* item = SelectedItem();
    ItemPaths paths = PathsOf(m_doc.Project().m_ResourceInfo, m_contents, item);
    QStringList expanded;
    WalkNodes(m_contents, {}, [&](const QModelIndex& index) {
        if (m_tree->isExpanded(index)) expanded << NodeKey(m_contents, index, paths);
    });
    auto itemPath = item ? paths.find(item) : paths.end();
    QSettings settings = AppSettings();
    settings.beginGroup(group);
    settings.setValue("expanded", expanded);
    settings.setValue("node", NodeKey(m_contents, m_tree->currentIndex(), paths));
    settings.setValue("item", itemPath != paths.end() ? itemPath->second : QString());
    settings.endGroup();
}

bool CMainFrame::RestoreTreeState() {
    QString group = ProjectGroup(m_doc.PathName());
    if (group.isEmpty()) return false;
    QSettings settings = AppSettings();
    settings.beginGroup(group);
    if (!settings.contains("node")) return false;
    QStringList expanded = settings.value("expanded").toStringList();
    QString nodeKey = settings.value("node").toString();
    std::string itemPath = settings.value("item").toString().toStdString();
    ItemPaths paths = PathsOf(m_doc.Project().m_ResourceInfo, m_contents, nullptr);
    m_tree->collapseAll();
    QModelIndex current;
    WalkNodes(m_contents, {}, [&](const QModelIndex& index) {
        QString key = NodeKey(m_contents, index, paths);
        if (expanded.contains(key)) m_tree->expand(index);
        if (key == nodeKey) current = index;
    });
    if (current.isValid()) m_tree->setCurrentIndex(current);
    if (itemPath.empty()) return true;
    if (auto item = Find(m_doc.Project().m_ResourceInfo, itemPath)) SelectRow(m_strings.RowOf(item.Value()));
    return true;
}

} // namespace quillon::gui
