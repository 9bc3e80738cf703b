#include "controls/DialogPreviewDlg.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "target/TextPreparation.h"
#include "controls/DialogPreview.h"
#include "dictionary/Hotkeys.h"
#include "templates/MenuLayout.h"
#include "controls/TextBridge.h"

namespace quillon::gui {

namespace {

// Option bits of a menu template entry, as the template's layout names them.
constexpr std::uint32_t MF_GRAYED = MenuOption::kGrayed;
constexpr std::uint32_t MF_DISABLED = MenuOption::kDisabled;
constexpr std::uint32_t MF_CHECKED = MenuOption::kChecked;
constexpr std::uint32_t MF_SEPARATOR = MenuOption::kSeparator;

constexpr int kListRows = 4;
constexpr int kSurround = 12;

QListWidget* MakeDefectList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setMaximumHeight(list->fontMetrics().height() * kListRows + 2 * list->frameWidth() + 6);
    return list;
}

QDialogButtonBox* MakeCloseButton(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// Menus --------------------------------------------------------------------

const std::string& TreeText(const CResourceItem& item) {
    return item.IsTranslated() ? item.m_strTranslation : item.m_strText;
}

std::uint32_t Options(const CResourceItem& item) {
    auto* node = dynamic_cast<const CMenuNode*>(&item);
    return node ? node->m_dwOptions : 0;
}

// Classic templates mark a separator by an entry with ID 0 and no text.
bool IsSeparator(const CResourceItem& item) {
    if (item.GetKind() != ItemKind::MenuItem) return false;
    return (Options(item) & MF_SEPARATOR) || (item.m_nID == 0 && item.m_strText.empty());
}

// The text with '&' before its hotkey, as the target's menu will show it.
QString MenuText(const CResourceItem& item, const CodePage& codePage) {
    return ToQt(PrepareText(TreeText(item), TargetHotkey(item, codePage), codePage), codePage);
}

// The name a translator knows an entry by: its text without the
// accelerator that follows the tab.
QString ShortName(const CResourceItem& item, const CodePage& codePage) {
    std::string text = TreeText(item);
    text = text.substr(0, text.find("\\t"));
    return ToQt(text, codePage);
}

void ApplyOptions(QAction* action, const CResourceItem& item) {
    std::uint32_t options = Options(item);
    action->setEnabled(!(options & (MF_GRAYED | MF_DISABLED)));
    if (options & MF_CHECKED) {
        action->setCheckable(true);
        action->setChecked(true);
    }
}

// QMenuBar and QMenu share these calls but no base class that has them.
template <typename Target>
void AddEntries(const CResourceItem& level, Target* target, const CodePage& codePage) {
    for (const auto& child : level.GetChildren()) {
        if (child->GetKind() == ItemKind::PopupMenu) {
            QMenu* popup = target->addMenu(MenuText(*child, codePage));
            // Windows shows every separator of the template, even two in a row.
            popup->setSeparatorsCollapsible(false);
            ApplyOptions(popup->menuAction(), *child);
            AddEntries(*child, popup, codePage);
        } else if (IsSeparator(*child)) {
            target->addSeparator();
        } else {
            ApplyOptions(target->addAction(MenuText(*child, codePage)), *child);
        }
    }
}

} // namespace

// Dialog preview ------------------------------------------------------------

CDialogPreviewDlg::CDialogPreviewDlg(const CResourceItem& dialog, const CodePage& codePage, QWidget* parent)
    : QDialog(parent), m_preview(new CDialogPreviewWidget(dialog, codePage, this)),
      m_overflowList(MakeDefectList(this)) {
    setWindowTitle(m_preview->Caption());
    auto* layout = new QVBoxLayout(this);
    // A dialog can be larger than the screen; the preview then scrolls.
    // A dark surround shows where the dialog's client area ends.
    auto* area = new QScrollArea(this);
    area->setBackgroundRole(QPalette::Dark);
    area->setWidget(m_preview);
    area->setAlignment(Qt::AlignCenter);
    QSize wanted = m_preview->size() + QSize(kSurround, kSurround) * 2;
    if (QScreen* screen = QGuiApplication::primaryScreen()) wanted = wanted.boundedTo(screen->availableSize() * 3 / 4);
    area->setMinimumSize(wanted);
    layout->addWidget(area, 1);
    if (!m_preview->IsValid())
        layout->addWidget(new QLabel(tr("The dialog template is damaged and cannot be shown."), this));
    layout->addWidget(new QLabel(tr("Controls whose text does not fit:"), this));
    layout->addWidget(m_overflowList);
    layout->addWidget(MakeCloseButton(this));
    FillOverflowList();
    connect(m_preview, &CDialogPreviewWidget::overflowChanged, this, &CDialogPreviewDlg::FillOverflowList);
    connect(m_overflowList, &QListWidget::currentRowChanged, this, &CDialogPreviewDlg::OnOverflowRowChanged);
    m_preview->setFocus();
}

// Each row remembers its control, so picking a row selects the control.
void CDialogPreviewDlg::FillOverflowList() {
    QSignalBlocker quiet(m_overflowList);
    m_overflowList->clear();
    const QStringList texts = m_preview->OverflowingControls();
    for (int i = 0; i < m_preview->ControlCount(); ++i) {
        if (!m_preview->IsOverflowing(i)) continue;
        auto* row = new QListWidgetItem(texts.at(m_overflowList->count()), m_overflowList);
        row->setData(Qt::UserRole, i);
    }
}

void CDialogPreviewDlg::OnOverflowRowChanged(int row) {
    if (QListWidgetItem* item = m_overflowList->item(row)) m_preview->SelectControl(item->data(Qt::UserRole).toInt());
}

// Menu preview ----------------------------------------------------------------

CMenuPreviewDlg::CMenuPreviewDlg(const CResourceItem& menu, const CodePage& codePage, QWidget* parent)
    : QDialog(parent), m_menuBar(new QMenuBar(this)), m_duplicateList(MakeDefectList(this)) {
    setWindowTitle(tr("Menu %1").arg(menu.m_nID));
    m_menuBar->setNativeMenuBar(false);
    AddEntries(menu, m_menuBar, codePage);
    CheckLevel(menu, tr("Menu bar"), codePage);
    m_duplicateList->addItems(m_duplicates);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(new QLabel(tr("Open the menus to see their entries."), this));
    layout->addWidget(new QLabel(tr("Hotkeys used more than once on one level:"), this));
    layout->addWidget(m_duplicateList);
    layout->addWidget(MakeCloseButton(this));
    resize(std::max(sizeHint().width(), 420), sizeHint().height());
}

// The core finds the clashes of each level (DuplicateHotkeys, as the check
// command does); the preview only names them.
void CMenuPreviewDlg::CheckLevel(const CResourceItem& level, const QString& name, const CodePage& codePage) {
    for (const HotkeyClash& clash : DuplicateHotkeys(level, codePage)) {
        QStringList users;
        for (const CResourceItem* item : clash.items) users << ShortName(*item, codePage);
        m_duplicates << tr("Level \"%1\": hotkey %2 used by %3")
                            .arg(name, HotkeyToQt(clash.hotkey, codePage), users.join(QStringLiteral(", ")));
    }
    for (const auto& child : level.GetChildren())
        if (child->GetKind() == ItemKind::PopupMenu) CheckLevel(*child, ShortName(*child, codePage), codePage);
}

} // namespace quillon::gui
