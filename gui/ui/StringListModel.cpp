#include "ui/StringListModel.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QStyle>

#include "controls/TextBridge.h"
#include "dictionary/ManualTranslation.h"
#include "model/ItemPath.h"
#include "ui/QuillonDoc.h"
#include "ui/TranslationCommit.h"

namespace quillon::gui {

CStringListModel::CStringListModel(CQuillonDoc& doc, QObject* parent) : QAbstractTableModel(parent), m_doc(doc) {}

void CStringListModel::ShowItems(CResourceItem* node) {
    beginResetModel();
    m_rows.clear();
    m_flat = false;
    auto listChildren = [&](CResourceItem& parent) {
        for (auto& child : parent.GetChildren())
            if (!(child->m_dwState & RIS_FIXED)) m_rows.push_back({child.get(), {}, {}});
    };
    if (node) {
        switch (node->GetKind()) {
        case ItemKind::PopupMenu:
            for (auto& child : node->GetChildren()) {
                if (child->GetKind() == ItemKind::PopupMenu)
                    m_rows.push_back({child.get(), tr("Popup Menu"), {}});
                else if (!(child->m_dwState & RIS_FIXED))
                    m_rows.push_back({child.get(), {}, {}});
            }
            break;
        case ItemKind::Dialog:
            m_rows.push_back({node, tr("Title"), {}});
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
                    m_rows.push_back({child.get(), ToQt(static_cast<CVersionBlock&>(*child).m_strKey, codePage), {}});
            break;
        }
        default: break;
        }
    }
    endResetModel();
}

void CStringListModel::ShowAll() {
    beginResetModel();
    m_rows.clear();
    m_flat = true;
    if (m_doc.IsLoaded())
        WalkPaths(m_doc.Project().m_ResourceInfo, [&](CResourceItem& item, const std::string& path) {
            if (item.IsTranslatable()) m_rows.push_back({&item, {}, QString::fromStdString(path)});
        });
    endResetModel();
}

void CStringListModel::SetProblems(std::span<const Finding> findings) {
    m_problems.clear();
    for (const Finding& finding : findings)
        if (finding.item) AddProblem(*finding.item, finding);
    RefreshTexts();
}

void CStringListModel::ClearProblems() { m_problems.clear(); }

void CStringListModel::SetRowProblems(const CResourceItem& item, std::span<const Finding> findings) {
    m_problems.erase(&item);
    for (const Finding& finding : findings) AddProblem(item, finding);
    RefreshItem(item);
}

void CStringListModel::AddProblem(const CResourceItem& item, const Finding& finding) {
    if (finding.severity == Severity::Note) return;
    auto [entry, added] = m_problems.try_emplace(&item, Problems{finding.severity, {}});
    if (!added) entry->second.text += QLatin1Char('\n');
    entry->second.text += QString::fromStdString(finding.message);
    if (finding.severity == Severity::Error) entry->second.worst = Severity::Error;
}

void CStringListModel::RefreshItem(const CResourceItem& item) { RefreshRow(RowOf(&item)); }

int CStringListModel::StateOf(const CResourceItem& item) const {
    int state = item.IsTranslated() ? StateTranslated : StateUntranslated;
    if (item.m_dwState & RIS_CARRIED) state |= StateChanged;
    if (item.IsTranslated() && item.GetTranslation() == item.GetText()) state |= StateConfirmed;
    if (HasProblem(item)) state |= StateProblem;
    return state;
}

const CodePage& CStringListModel::CodePageOf() const { return m_doc.GetCodePage(); }

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
    case ColumnSource: return ToQt(item.GetText(), codePage);
    case ColumnHotkey: return HotkeyToQt(item.m_chHotkey, codePage);
    case ColumnTranslated: return ToQt(item.GetTranslation(), codePage);
    case ColumnTransHotkey: return HotkeyToQt(item.m_chTransHotkey, codePage);
    case ColumnPath: return row.path;
    default: return {};
    }
}

// An untranslated item's field starts empty (TypedTextOf).
QVariant CStringListModel::EditText(const CResourceItem& item, int column) const {
    if (column == ColumnTranslated) return TypedTextOf(m_doc, item);
    if (column == ColumnTransHotkey) return HotkeyToQt(item.m_chTransHotkey, m_doc.GetCodePage());
    return {};
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

// The texts, which the columns may cut, in full; the translation with what
// the checks found; then what the colour means.
QVariant CStringListModel::CellToolTip(const Row& row, int column) const {
    const CResourceItem& item = *row.item;
    QString state = ToolTip(item).toString();
    if (column != ColumnSource && column != ColumnTranslated) return state;
    QStringList lines{Text(row, column).toString()};
    auto problems = m_problems.find(&item);
    if (column == ColumnTranslated && problems != m_problems.end()) lines << problems->second.text;
    if (!state.isEmpty()) lines << state;
    return lines.join(QStringLiteral("\n\n"));
}

QVariant CStringListModel::ProblemIcon(const CResourceItem& item) const {
    auto problems = m_problems.find(&item);
    if (problems == m_problems.end()) return {};
    bool error = problems->second.worst == Severity::Error;
    return QApplication::style()->standardIcon(error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning);
}

QVariant CStringListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return Text(row, index.column());
    case Qt::EditRole: return EditText(*row.item, index.column());
    case Qt::DecorationRole: return index.column() == ColumnTranslated ? ProblemIcon(*row.item) : QVariant();
    case StateRole: return StateOf(*row.item);
    case Qt::ForegroundRole: return Foreground(*row.item);
    case Qt::ToolTipRole: return CellToolTip(row, index.column());
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
    case ColumnPath: return tr("Resource");
    default: return {};
    }
}

// The translated hotkey is only edited where the source has one, as in the
// Translate dialog.
Qt::ItemFlags CStringListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const CResourceItem* item = index.isValid() ? ItemAt(index.row()) : nullptr;
    if (!item) return flags;
    if (index.column() == ColumnTranslated || (index.column() == ColumnTransHotkey && item->m_chHotkey != 0))
        flags |= Qt::ItemIsEditable;
    return flags;
}

// A text commit takes the hotkey its '&' marks, else keeps the hotkey where it
// still occurs (ReadTypedTranslation);
// a hotkey commit keeps the text. What the core refuses, or what the checks
// find, is shown on the row; the translator moves on either way.
bool CStringListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    CResourceItem& item = *ItemAt(index.row());
    const CodePage& codePage = m_doc.GetCodePage();
    QString typed = value.toString();
    if (typed == EditText(item, index.column()).toString()) return false; // nothing changed, or nothing typed
    std::string translation = item.GetTranslation();
    std::uint16_t hotkey = HotkeyFromQt(typed, codePage);
    if (index.column() == ColumnTranslated) {
        HotkeyText read = ReadTypedTranslation(item, TreeTextOfTyped(m_doc, item, typed), codePage);
        translation = std::move(read.text);
        hotkey = read.hotkey;
    }
    return CommitTranslation(item, std::move(translation), hotkey);
}

bool CStringListModel::CommitTranslation(CResourceItem& item, std::string translation, std::uint16_t hotkey) {
    TranslationPlan plan = PlanTranslation(m_doc, item, std::move(translation), hotkey);
    if (!plan.change) {
        m_problems[&item] = {Severity::Error, ToQt(plan.change.GetError().message, m_doc.GetCodePage())};
        RefreshItem(item);
        return false;
    }
    SetRowProblems(item, plan.findings);
    m_doc.Apply(std::move(plan.change).Value());
    return true;
}

} // namespace quillon::gui
