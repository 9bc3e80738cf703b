#include "ui/StringListModel.h"

#include <QBrush>
#include <QColor>

#include "ui/QuillonDoc.h"
#include "controls/TextBridge.h"

namespace quillon::gui {

CStringListModel::CStringListModel(CQuillonDoc& doc, QObject* parent) : QAbstractTableModel(parent), m_doc(doc) {}

void CStringListModel::ShowItems(CResourceItem* node) {
    beginResetModel();
    m_rows.clear();
    auto listChildren = [&](CResourceItem& parent) {
        for (auto& child : parent.GetChildren())
            if (!(child->m_dwState & RIS_FIXED)) m_rows.push_back({child.get(), {}});
    };
    if (node) {
        switch (node->GetKind()) {
        case ItemKind::PopupMenu:
            for (auto& child : node->GetChildren()) {
                if (child->GetKind() == ItemKind::PopupMenu)
                    m_rows.push_back({child.get(), tr("Popup Menu")});
                else if (!(child->m_dwState & RIS_FIXED))
                    m_rows.push_back({child.get(), {}});
            }
            break;
        case ItemKind::Dialog:
            m_rows.push_back({node, tr("Title")});
            listChildren(*node);
            break;
        case ItemKind::String:
            // The tree's one "String Table" node lists every string of the module.
            listChildren(m_doc.Project().m_ResourceInfo.m_Strings);
            break;
        case ItemKind::Version: {
            const CodePage& codePage = m_doc.GetCodePage();
            for (auto& child : node->GetChildren())
                if (!(child->m_dwState & RIS_FIXED))
                    m_rows.push_back({child.get(), ToQt(static_cast<CVersionBlock&>(*child).m_strKey, codePage)});
            break;
        }
        default: break;
        }
    }
    endResetModel();
}

void CStringListModel::RefreshTexts() {
    if (!m_rows.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void CStringListModel::RefreshRow(int row) {
    if (row >= 0 && row < rowCount()) emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

CResourceItem* CStringListModel::ItemAt(int row) const {
    return row >= 0 && row < rowCount() ? m_rows[static_cast<std::size_t>(row)].item : nullptr;
}

int CStringListModel::RowOf(const CResourceItem* item) const {
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].item == item) return static_cast<int>(i);
    return -1;
}

int CStringListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CStringListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CStringListModel::Text(const Row& row, int column) const {
    const CodePage& codePage = m_doc.GetCodePage();
    const CResourceItem& item = *row.item;
    switch (column) {
    case ColumnId: return row.label.isEmpty() ? QString::number(item.m_nID) : row.label;
    case ColumnSource: return ToQt(item.m_strText, codePage);
    case ColumnHotkey: return HotkeyToQt(item.m_chHotkey, codePage);
    case ColumnTranslated: return ToQt(item.m_strTranslation, codePage);
    case ColumnTransHotkey: return HotkeyToQt(item.m_chTransHotkey, codePage);
    default: return {};
    }
}

// Changed by an update green until the translator handles it (a translation
// carried over needs a look as much as a reset one), translated red, never
// touched blue.
QVariant CStringListModel::Foreground(const CResourceItem& item) const {
    if (item.m_dwState & RIS_CARRIED) return QBrush(QColor(0, 100, 0));
    if (item.IsTranslated()) return QBrush(QColor(200, 0, 0));
    if (!(item.m_dwState & 0x2)) return QBrush(QColor(0, 0, 200));
    return {};
}

// What the colour means; for a changed item also what it held before.
QVariant CStringListModel::ToolTip(const CResourceItem& item) const {
    if (item.m_dwState & RIS_CARRIED) {
        QString tip = tr("Changed by the last update: translate, confirm or restore it");
        const PreviousSource* previous = m_doc.PreviousOf(item);
        if (!previous) return tip;
        const CodePage& codePage = m_doc.GetCodePage();
        QString before = ToQt(previous->text, codePage);
        if (previous->translation.empty() || previous->translation == previous->text)
            return tip + tr("\nBefore: \"%1\", not translated").arg(before);
        return tip + tr("\nBefore: \"%1\", translated \"%2\"").arg(before, ToQt(previous->translation, codePage));
    }
    if (item.IsTranslated()) return tr("Translated");
    if (!(item.m_dwState & 0x2)) return tr("Not translated yet");
    return {};
}

QVariant CStringListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return Text(row, index.column());
    case Qt::ForegroundRole: return Foreground(*row.item);
    case Qt::ToolTipRole: return ToolTip(*row.item);
    case Qt::BackgroundRole:
        return QBrush(index.row() % 2 ? QColor(255, 255, 224) : QColor(224, 224, 255));
    default: return {};
    }
}

QVariant CStringListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case ColumnId: return tr("ID");
    case ColumnSource: return tr("Source");
    case ColumnHotkey: return tr("Shortcut");
    case ColumnTranslated: return tr("Translated");
    case ColumnTransHotkey: return tr("Shortcut");
    default: return {};
    }
}

} // namespace quillon::gui
