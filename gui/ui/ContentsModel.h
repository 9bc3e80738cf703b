#pragma once
// The contents tree: the project's resources grouped by kind. Nodes carry
// pointers to the resource tree; texts are read from it when shown.

#include <QAbstractItemModel>
#include <memory>
#include <vector>

#include "model/ResourceItem.h"
#include "model/TreeRoots.h"
#include "ui/Icons.h"

namespace quillon::gui {

class CQuillonDoc;

class CContentsModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit CContentsModel(CQuillonDoc& doc, QObject* parent = nullptr);
    ~CContentsModel() override;

    // Rebuilds every node from the document's project.
    void RebuildTree();
    void Clear();
    CResourceItem* ItemAt(const QModelIndex& index) const;
    // The node that carries `item`; invalid when none does.
    QModelIndex IndexOf(const CResourceItem* item) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    struct Node {
        QString text;
        IconKind icon = IconKind::ClosedFolder;
        IconKind selectedIcon = IconKind::OpenFolder;
        CResourceItem* item = nullptr;
        QString warnings; // the scan's, for a resource it read in part
        Node* parent = nullptr;
        int row = 0;
        std::vector<std::unique_ptr<Node>> children;
        Node& Add(QString text, IconKind icon, IconKind selected, CResourceItem* item);
    };

private:
    void AddMenus(Node& root);
    void AddPopups(Node& parent, CResourceItem& menu);
    void AddDialogs(Node& root);
    QString ScanWarningsOf(Root root, const CResourceItem& resource) const;
    void AddVersion(Node& root);
    Node* NodeOf(const QModelIndex& index) const;

    CQuillonDoc& m_doc;
    std::unique_ptr<Node> m_invisibleRoot;
};

} // namespace quillon::gui
