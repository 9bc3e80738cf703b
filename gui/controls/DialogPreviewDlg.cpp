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

#include "controls/DialogPreview.h"
#include "controls/MenuPopupView.h"
#include "controls/TextBridge.h"
#include "dictionary/Hotkeys.h"

namespace quillon::gui {

namespace {

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

// The level names of a menu's path, as the preview and its list show them.
const QString kPathSeparator = QStringLiteral(" \u203A ");

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
    : CMenuPreviewDlg(menu, {}, codePage, parent) {}

CMenuPreviewDlg::CMenuPreviewDlg(const CResourceItem& menu, std::span<const CResourceItem* const> parents,
                                 const CodePage& codePage, QWidget* parent)
    : QDialog(parent), m_duplicateList(MakeDefectList(this)), m_path(new QLabel(this)) {
    // The menu resource is the bar; every popup below it is one of its levels.
    QString path = tr("Menu bar");
    for (std::size_t i = 1; i < parents.size(); ++i) path += kPathSeparator + MenuEntryName(*parents[i], codePage);
    auto* layout = new QVBoxLayout(this);
    if (parents.empty()) {
        setWindowTitle(tr("Menu %1").arg(menu.m_nID));
        m_menuBar = new QMenuBar(this);
        m_menuBar->setNativeMenuBar(false);
        AddMenuEntries(menu, m_menuBar, codePage);
        layout->setMenuBar(m_menuBar);
        layout->addWidget(new QLabel(tr("Open the menus to see their entries."), this));
    } else {
        setWindowTitle(MenuEntryName(menu, codePage));
        path += kPathSeparator + MenuEntryName(menu, codePage);
        m_popup = new CMenuPopupView(menu, codePage, this);
        layout->addWidget(m_popup, 0, Qt::AlignLeft);
        layout->addWidget(new QLabel(tr("Click an entry with an arrow to open its submenu."), this));
    }
    m_path->setObjectName(QStringLiteral("menuPath"));
    m_path->setText(path);
    layout->insertWidget(0, m_path);
    CheckLevel(menu, path, codePage);
    m_duplicateList->addItems(m_duplicates);
    layout->addWidget(new QLabel(tr("Hotkeys used more than once on one level:"), this));
    layout->addWidget(m_duplicateList);
    layout->addWidget(MakeCloseButton(this));
    resize(std::max(sizeHint().width(), 420), sizeHint().height());
}

QString CMenuPreviewDlg::LevelPath() const { return m_path->text(); }

// The core finds the clashes of each level (DuplicateHotkeys, as the check
// command does); the preview only names them, by the level's path.
void CMenuPreviewDlg::CheckLevel(const CResourceItem& level, const QString& path, const CodePage& codePage) {
    for (const HotkeyClash& clash : DuplicateHotkeys(level, codePage)) {
        QStringList users;
        for (const CResourceItem* item : clash.items) users << MenuEntryName(*item, codePage);
        m_duplicates << tr("Level \"%1\": hotkey %2 used by %3")
                            .arg(path, HotkeyToQt(clash.hotkey, codePage), users.join(QStringLiteral(", ")));
    }
    for (const auto& child : level.GetChildren())
        if (child->GetKind() == ItemKind::PopupMenu)
            CheckLevel(*child, path + kPathSeparator + MenuEntryName(*child, codePage), codePage);
}

} // namespace quillon::gui
