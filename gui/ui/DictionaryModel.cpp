#include "ui/DictionaryModel.h"

#include <QBrush>
#include <algorithm>

#include "model/ResourceItem.h"
#include "ui/QuillonDoc.h"
#include "controls/TextBridge.h"

namespace quillon::gui {

CDictionaryModel::CDictionaryModel(CQuillonDoc& doc, QObject* parent) : QAbstractTableModel(parent), m_doc(doc) {}

void CDictionaryModel::FillList() {
    beginResetModel();
    m_rows.clear();
    CDictonary& dictionary = m_doc.Project().m_Dictionary;
    m_rows.reserve(dictionary.GetCount());
    // The sorted entries come with their primaries: no look-up per text.
    for (const auto& [source, entry] : dictionary.SortedEntries()) {
        auto* primary = const_cast<CDictonaryEntry*>(entry);
        m_rows.push_back({std::string(source), primary, nullptr});
        for (const auto& [kind, subEntry] : primary->SubEntries()) m_rows.push_back({std::string(source), subEntry.get(), primary});
    }
    endResetModel();
}

void CDictionaryModel::ClearList() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

ProjectChange CDictionaryModel::PlanDeletion(const std::set<int>& rows) const {
    // A primary row takes its whole text; entry rows take their kinds.
    std::map<std::string, std::vector<ItemKind>> kindsBySource;
    std::set<std::string> wholeTexts;
    for (int row : rows) {
        if (row < 0 || row >= rowCount()) continue;
        const Row& r = m_rows[static_cast<std::size_t>(row)];
        if (r.primary)
            kindsBySource[r.source].push_back(r.entry->m_kind);
        else
            wholeTexts.insert(r.source);
    }
    const CDictonary& dictionary = m_doc.Project().m_Dictionary;
    ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Delete"));
    for (const std::string& source : wholeTexts)
        if (auto edit = PlanRemoval(dictionary, source)) change.Add(std::move(*edit));
    for (const auto& [source, kinds] : kindsBySource)
        if (!wholeTexts.count(source))
            if (auto edit = PlanRemoval(dictionary, source, kinds)) change.Add(std::move(*edit));
    return change;
}

void CDictionaryModel::SortBy(int column) {
    beginResetModel();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& a, const Row& b) {
        switch (column) {
        case ColumnType: return a.entry->m_kind < b.entry->m_kind;
        case ColumnSource: return a.source < b.source;
        case ColumnTranslated: return a.entry->m_strTranslation < b.entry->m_strTranslation;
        default: return a.entry->m_chHotkey < b.entry->m_chHotkey;
        }
    });
    endResetModel();
}

const CDictionaryModel::Row* CDictionaryModel::RowAt(int row) const {
    return row >= 0 && row < rowCount() ? &m_rows[static_cast<std::size_t>(row)] : nullptr;
}

int CDictionaryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CDictionaryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString CDictionaryModel::Text(const Row& row, int column) const {
    const CodePage& codePage = m_doc.GetCodePage();
    switch (column) {
    case ColumnType: return QString::fromLatin1(KindName(row.entry->m_kind));
    case ColumnSource: return ToQt(row.source, codePage);
    case ColumnTranslated: return ToQt(row.entry->m_strTranslation, codePage);
    default: return HotkeyToQt(row.entry->m_chHotkey, codePage);
    }
}

QVariant CDictionaryModel::data(const QModelIndex& index, int role) const {
    const Row* row = index.isValid() ? RowAt(index.row()) : nullptr;
    if (!row) return {};
    if (role == Qt::DisplayRole) return Text(*row, index.column());
    // The texts in full, where the column cuts them.
    bool text = index.column() == ColumnSource || index.column() == ColumnTranslated;
    if (role == Qt::ToolTipRole && text) return Text(*row, index.column());
    if (role == Qt::BackgroundRole) return QBrush(index.row() % 2 ? QColor(255, 255, 224) : QColor(224, 224, 255));
    return {};
}

QVariant CDictionaryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* headers[] = {QT_TR_NOOP("Type"), QT_TR_NOOP("Source"), QT_TR_NOOP("Translated"),
                                    QT_TR_NOOP("Shortcut")};
    return section >= 0 && section < ColumnCount ? tr(headers[section]) : QVariant();
}

} // namespace quillon::gui
