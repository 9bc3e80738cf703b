#include "ui/ContentsModel.h"

#include <QApplication>
#include <QStringList>
#include <QStyle>

#include "model/ItemPath.h"
#include "ui/QuillonDoc.h"
#include "controls/TextBridge.h"

namespace quillon::gui {

CContentsModel::Node& CContentsModel::Node::Add(QString label, IconKind normal, IconKind selected, CResourceItem* data) {
    auto node = std::make_unique<Node>();
    node->text = std::move(label);
    node->icon = normal;
    node->selectedIcon = selected;
    node->item = data;
    node->parent = this;
    node->row = static_cast<int>(children.size());
    children.push_back(std::move(node));
    return *children.back();
}

CContentsModel::CContentsModel(CQuillonDoc& doc, QObject* parent)
    : QAbstractItemModel(parent), m_doc(doc), m_invisibleRoot(std::make_unique<Node>()) {}

CContentsModel::~CContentsModel() = default;

void CContentsModel::Clear() {
    beginResetModel();
    m_invisibleRoot = std::make_unique<Node>();
    endResetModel();
}

void CContentsModel::RebuildTree() {
    beginResetModel();
    m_invisibleRoot = std::make_unique<Node>();
    Node& root = m_invisibleRoot->Add(tr("Resource"), IconKind::ClosedFolder, IconKind::OpenFolder, nullptr);
    CResourceInfo& info = m_doc.Project().m_ResourceInfo;
    if (info.m_Strings.GetCount())
        root.Add(tr("Strings"), IconKind::ClosedFolder, IconKind::OpenFolder, nullptr)
            .Add(tr("String Table"), IconKind::StringTable, IconKind::StringTable, info.m_Strings.GetChildren()[0].get());
    AddMenus(root);
    AddDialogs(root);
    AddVersion(root);
    endResetModel();
}

void CContentsModel::AddMenus(Node& root) {
    CResourceInfo& info = m_doc.Project().m_ResourceInfo;
    if (!info.m_Menus.GetCount()) return;
    Node& folder = root.Add(tr("Menus"), IconKind::ClosedFolder, IconKind::OpenFolder, nullptr);
    for (auto& menu : info.m_Menus.GetChildren()) {
        Node& node = folder.Add(QString::number(menu->m_nID), IconKind::Menu, IconKind::Menu, menu.get());
        node.warnings = ScanWarningsOf(Root::Menus, *menu);
        AddPopups(node, *menu);
    }
}

// Popups get nodes of their own; menu items are listed, not shown in the tree.
void CContentsModel::AddPopups(Node& parent, CResourceItem& menu) {
    const CodePage& codePage = m_doc.GetCodePage();
    for (auto& child : menu.GetChildren()) {
        if (child->GetKind() != ItemKind::PopupMenu) continue;
        Node& node = parent.Add(ToQt(child->GetText(), codePage), IconKind::Menu, IconKind::Menu, child.get());
        AddPopups(node, *child);
    }
}

// What the scan said about a resource it read only in part, one line each.
QString CContentsModel::ScanWarningsOf(Root root, const CResourceItem& resource) const {
    const ScanWarnings& warnings = m_doc.Project().m_ResourceInfo.m_scanWarnings;
    auto found = warnings.find(ItemPath{root, {PathStep{.id = resource.m_nID, .key = {}, .occurrence = 1}}}.ToString());
    if (found == warnings.end()) return {};
    QStringList lines;
    for (const std::string& message : found->second) lines << QString::fromStdString(message);
    return lines.join(QLatin1Char('\n'));
}

void CContentsModel::AddDialogs(Node& root) {
    CResourceInfo& info = m_doc.Project().m_ResourceInfo;
    if (!info.m_Dialogs.GetCount()) return;
    const CodePage& codePage = m_doc.GetCodePage();
    Node& folder = root.Add(tr("Dialogs"), IconKind::ClosedFolder, IconKind::OpenFolder, nullptr);
    for (auto& dialog : info.m_Dialogs.GetChildren()) {
        QString caption = dialog->GetText().empty() ? QString::number(dialog->m_nID) : ToQt(dialog->GetText(), codePage);
        folder.Add(caption, IconKind::Dialog, IconKind::Dialog, dialog.get()).warnings =
            ScanWarningsOf(Root::Dialogs, *dialog);
    }
}

void CContentsModel::AddVersion(Node& root) {
    const CodePage& codePage = m_doc.GetCodePage();
    Node& folder = root.Add(tr("Version"), IconKind::ClosedFolder, IconKind::OpenFolder, nullptr);
    CVersionBlock& versionRoot = m_doc.Project().m_ResourceInfo.m_VersionInfo.m_Root;
    auto find = [&](const char* key) -> CVersionBlock* {
        for (auto& child : versionRoot.GetChildren())
            if (auto* block = dynamic_cast<CVersionBlock*>(child.get()); block && block->m_strKey == key) return block;
        return nullptr;
    };
    if (CVersionBlock* vars = find("VarFileInfo"))
        folder.Add(ToQt(vars->m_strKey, codePage), IconKind::Version, IconKind::Version, vars);
    if (CVersionBlock* strings = find("StringFileInfo")) {
        Node& node = folder.Add(ToQt(strings->m_strKey, codePage), IconKind::Version, IconKind::Version, strings);
        // Only the first language block is shown.
        for (auto& child : strings->GetChildren())
            if (auto* table = dynamic_cast<CVersionBlock*>(child.get()); table && table->m_nBlockType == kVersionBlock) {
                node.Add(ToQt(table->m_strKey, codePage), IconKind::Version, IconKind::Version, table);
                break;
            }
    }
}

CContentsModel::Node* CContentsModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : m_invisibleRoot.get();
}

QModelIndex CContentsModel::IndexOf(const CResourceItem* item) const {
    if (!item || !m_invisibleRoot) return {};
    std::vector<const Node*> pending{m_invisibleRoot.get()};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        if (node->item == item) return createIndex(node->row, 0, const_cast<Node*>(node));
        for (const auto& child : node->children) pending.push_back(child.get());
    }
    return {};
}

CResourceItem* CContentsModel::ItemAt(const QModelIndex& index) const {
    return index.isValid() ? NodeOf(index)->item : nullptr;
}

QModelIndex CContentsModel::index(int row, int column, const QModelIndex& parent) const {
    Node* node = NodeOf(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(node->children.size())) return {};
    return createIndex(row, 0, node->children[static_cast<std::size_t>(row)].get());
}

QModelIndex CContentsModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    Node* parent = NodeOf(child)->parent;
    if (!parent || parent == m_invisibleRoot.get()) return {};
    return createIndex(parent->row, 0, parent);
}

int CContentsModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return static_cast<int>(NodeOf(parent)->children.size());
}

int CContentsModel::columnCount(const QModelIndex&) const { return 1; }

QVariant CContentsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Node* node = NodeOf(index);
    if (role == Qt::DisplayRole) return node->text;
    if (role == Qt::DecorationRole && !node->warnings.isEmpty())
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    if (role == Qt::DecorationRole) return MakeIcon(node->icon);
    if (role == Qt::ToolTipRole && !node->warnings.isEmpty())
        return tr("Read in part only:\n%1").arg(node->warnings);
    return {};
}

} // namespace quillon::gui
