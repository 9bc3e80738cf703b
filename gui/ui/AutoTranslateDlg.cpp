#include "ui/AutoTranslateDlg.h"

#include <QBrush>
#include <QCheckBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QPushButton>
#include <QTableView>

#include "ui/QuillonDoc.h"
#include "controls/AppSettings.h"
#include "controls/TextBridge.h"

namespace quillon::gui {

namespace {
const QString kExactMemoryKey = QStringLiteral("AutoTranslate/exactMemory");
const QString kFuzzyMemoryKey = QStringLiteral("AutoTranslate/fuzzyMemory");
const QString kFuzzyThresholdKey = QStringLiteral("AutoTranslate/fuzzyThreshold");
} // namespace

void CNotTranslatedModel::Clear() {
    beginResetModel();
    m_items.clear();
    endResetModel();
}

void CNotTranslatedModel::Append(const std::vector<const CResourceItem*>& items) {
    if (items.empty()) return;
    int row = rowCount();
    beginInsertRows({}, row, row + static_cast<int>(items.size()) - 1);
    m_items.insert(m_items.end(), items.begin(), items.end());
    endInsertRows();
}

int CNotTranslatedModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}
int CNotTranslatedModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 6; }

QVariant CNotTranslatedModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const CResourceItem& item = *ItemAt(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0: return QString::fromLatin1(KindName(item.GetKind()));
        case 1: return QString::number(item.m_nID);
        case 2: return ToQt(item.GetText(), m_codePage);
        case 3: return HotkeyToQt(item.m_chHotkey, m_codePage);
        case 4: return ToQt(item.GetTranslation(), m_codePage);
        default: return HotkeyToQt(item.m_chTransHotkey, m_codePage);
        }
    }
    if (role == Qt::BackgroundRole) return QBrush(index.row() % 2 ? QColor(255, 255, 224) : QColor(224, 224, 255));
    if (role == Qt::ForegroundRole) {
        if (item.IsTranslated()) return QBrush(QColor(200, 0, 0));
        return QBrush((item.m_dwState & 0x2) ? QColor(100, 100, 100) : QColor(0, 0, 200));
    }
    return {};
}

QVariant CNotTranslatedModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* headers[] = {QT_TR_NOOP("Type"),       QT_TR_NOOP("ID"),         QT_TR_NOOP("Source"),
                                    QT_TR_NOOP("Shortcut"),   QT_TR_NOOP("Translated"), QT_TR_NOOP("Shortcut")};
    return section >= 0 && section < 6 ? tr(headers[section]) : QVariant();
}

CAutoTranslateDlg::CAutoTranslateDlg(CQuillonDoc& doc, QWidget* parent)
    : CMultiThreadDialog(parent), m_doc(doc), m_translator(doc.Project().m_ResourceInfo, doc.Project().m_Dictionary, doc.Project().GetCodePage(),
                   HotkeyConventionOf(doc.Project().m_wTargetLanguage), this), m_list(doc.GetCodePage()) {
    setWindowTitle(tr("Auto Translate"));
    // No system menu: the dialog ends through Close only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    BuildLayout();
}

CAutoTranslateDlg::~CAutoTranslateDlg() {
    m_translator.RequestStop();
    WaitForWorker();
}

// Positions as in the classic layout (about 1.6 px per dialog unit), anchored
// so that the counts, status, bar and line widen, Close follows the right
// edge and the list grows both ways.
void CAutoTranslateDlg::BuildLayout() {
    resize(440, 382);
    auto label = [this](const QString& text, QRect rect) {
        auto* widget = new QLabel(text, this);
        widget->setGeometry(rect);
        return widget;
    };
    auto value = [&](int y) {
        QLabel* widget = label({}, QRect(170, y, 258, 20));
        widget->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        AddAnchor(widget, Stretch, Fixed);
        return widget;
    };
    label(tr("Total Strings:"), QRect(12, 18, 154, 20));
    m_total = value(18);
    label(tr("Translated Strings:"), QRect(12, 44, 154, 20));
    m_translated = value(44);
    label(tr("Not Translated Strings:"), QRect(12, 70, 154, 20));
    m_notTranslated = value(70);
    m_status = label({}, QRect(12, 96, 416, 16));
    m_status->setAlignment(Qt::AlignCenter);
    AddAnchor(m_status, Stretch, Fixed);
    m_progress = new QProgressBar(this);
    m_progress->setGeometry(12, 116, 416, 16);
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    AddAnchor(m_progress, Stretch, Fixed);
    BuildMemoryOptions(140);
    m_start->setGeometry(12, 192, 84, 26);
    m_start->setDefault(true);
    m_close = new QPushButton(tr("Close"), this);
    m_close->setGeometry(344, 192, 84, 26);
    AddAnchor(m_close, Move, Fixed);
    connect(m_close, &QPushButton::clicked, this, [this] {
        // Not while a worker still runs: it touches the project and this dialog.
        if (!IsRunning() && !IsThreadAlive()) EndDialog();
    });
    auto* line = new QFrame(this);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(12, 224, 416, 2);
    AddAnchor(line, Stretch, Fixed);
    label(tr("Not Translated"), QRect(12, 230, 200, 16));
    m_view = new QTableView(this);
    m_view->setModel(&m_list);
    m_view->setGeometry(12, 248, 416, 124);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    // The texts share the width; the short columns take what they need.
    QHeaderView* header = m_view->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (int textColumn : {2, 4}) header->setSectionResizeMode(textColumn, QHeaderView::Stretch);
    AddAnchor(m_view, Stretch, Stretch);
}

int CAutoTranslateDlg::BuildMemoryOptions(int top) {
    m_exactMemory = new QCheckBox(tr("Use &exact memory matches"), this);
    m_exactMemory->setGeometry(12, top, 416, 22);
    m_fuzzyMemory = new QCheckBox(tr("Use &fuzzy memory matches at or above"), this);
    m_fuzzyMemory->setGeometry(12, top + 26, 300, 22);
    m_fuzzyMemory->setToolTip(tr("Fuzzy matches are marked as changed, for review"));
    m_fuzzyThreshold = new QSpinBox(this);
    m_fuzzyThreshold->setGeometry(316, top + 26, 80, 22);
    m_fuzzyThreshold->setRange(50, 100);
    m_fuzzyThreshold->setValue(85);
    m_fuzzyThreshold->setSuffix(QStringLiteral(" %"));
    m_fuzzyThreshold->setEnabled(false);
    connect(m_fuzzyMemory, &QCheckBox::toggled, m_fuzzyThreshold, &QWidget::setEnabled);
    // The choices of the last run are offered again.
    QSettings settings = AppSettings();
    m_exactMemory->setChecked(settings.value(kExactMemoryKey, false).toBool());
    m_fuzzyThreshold->setValue(settings.value(kFuzzyThresholdKey, 85).toInt());
    m_fuzzyMemory->setChecked(settings.value(kFuzzyMemoryKey, false).toBool());
    return top + 52;
}

void CAutoTranslateDlg::SaveMemoryOptions() const {
    QSettings settings = AppSettings();
    settings.setValue(kExactMemoryKey, m_exactMemory->isChecked());
    settings.setValue(kFuzzyMemoryKey, m_fuzzyMemory->isChecked());
    settings.setValue(kFuzzyThresholdKey, m_fuzzyThreshold->value());
}

// The worker opens its own connection to the memory: SQLite connections are
// not shared between threads. Without a memory file the run uses none.
AutoTranslateResult CAutoTranslateDlg::RunWithMemory(MemoryUse use) {
    if (!use.Any()) return m_translator.Run();
    auto memory = TranslationMemory::Open(TranslationMemory::DefaultPath(), MemoryOpen::Existing);
    if (!memory) return m_translator.Run();
    MemoryTranslator fromMemory(memory.Value(), use, m_doc.Project());
    m_translator.SetFallback(fromMemory.AsFallback());
    AutoTranslateResult result = m_translator.Run();
    m_translator.SetFallback({});
    return result;
}

int CAutoTranslateDlg::Run() {
    AutoTranslateResult result = RunWithMemory(m_memoryUse);
    {
        // Stored before the run ends, so it is there whenever Close works.
        std::lock_guard<std::mutex> guard(m_resultLock);
        m_result = std::move(result);
        m_anyModified = m_anyModified || m_result.modified;
    }
    SetRunning(false);
    return 0;
}

AutoTranslateResult CAutoTranslateDlg::LastResult() const {
    std::lock_guard<std::mutex> guard(m_resultLock);
    AutoTranslateResult result = m_result;
    result.modified = m_anyModified; // any run of this dialog changed the project
    return result;
}

void CAutoTranslateDlg::OnRunRequested(bool running) {
    if (running) {
        m_memoryUse = MemoryUse{m_exactMemory->isChecked(), m_fuzzyMemory->isChecked() ? m_fuzzyThreshold->value() : 0};
        SaveMemoryOptions();
        m_translator.ClearStop();
    } else {
        m_translator.RequestStop();
    }
}

void CAutoTranslateDlg::OnRunningChanged(bool running) {
    CMultiThreadDialog::OnRunningChanged(running);
    if (running) m_close->setEnabled(false);
}

void CAutoTranslateDlg::SetStatus(std::string_view text) {
    QString status = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QMetaObject::invokeMethod(this, [this, status] { m_status->setText(status); }, Qt::QueuedConnection);
}

void CAutoTranslateDlg::SetCounts(std::int32_t total, std::int32_t translated, std::int32_t notTranslated) {
    QMetaObject::invokeMethod(this, [=, this] {
        m_total->setText(QString::number(total));
        m_translated->setText(QString::number(translated));
        m_notTranslated->setText(QString::number(notTranslated));
    }, Qt::QueuedConnection);
}

void CAutoTranslateDlg::ClearCounts() {
    QMetaObject::invokeMethod(this, [this] {
        for (QLabel* label : {m_total, m_translated, m_notTranslated}) label->clear();
    }, Qt::QueuedConnection);
}

void CAutoTranslateDlg::ResetProgress(std::uint32_t maximum) {
    QMetaObject::invokeMethod(this, [this, maximum] {
        m_progress->setRange(0, static_cast<int>(std::min<std::uint32_t>(maximum, INT32_MAX)));
        m_progress->setValue(0);
    }, Qt::QueuedConnection);
}

void CAutoTranslateDlg::StepProgress() {
    if (m_pendingSteps.fetch_add(1) != 0) return; // an update is already on its way
    QMetaObject::invokeMethod(this, [this] {
        int steps = m_pendingSteps.exchange(0);
        m_progress->setValue(static_cast<int>(std::min<qint64>(m_progress->maximum(), m_progress->value() + 10ll * steps)));
    }, Qt::QueuedConnection);
}

void CAutoTranslateDlg::ClearUntranslated() {
    {
        std::lock_guard<std::mutex> guard(m_pendingLock);
        m_pendingItems.clear();
    }
    QMetaObject::invokeMethod(this, [this] { m_list.Clear(); }, Qt::QueuedConnection);
}

void CAutoTranslateDlg::AddUntranslated(const CResourceItem& item) {
    {
        std::lock_guard<std::mutex> guard(m_pendingLock);
        m_pendingItems.push_back(&item);
        if (m_pendingItems.size() > 1) return; // a flush is already on its way
    }
    QMetaObject::invokeMethod(this, [this] {
        std::vector<const CResourceItem*> items;
        {
            std::lock_guard<std::mutex> guard(m_pendingLock);
            items.swap(m_pendingItems);
        }
        m_list.Append(items);
    }, Qt::QueuedConnection);
}

void CAutoTranslateDlg::EnableClose(bool enabled) {
    QMetaObject::invokeMethod(this, [this, enabled] { m_close->setEnabled(enabled); }, Qt::QueuedConnection);
}

} // namespace quillon::gui
