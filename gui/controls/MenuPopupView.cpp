#include "controls/MenuPopupView.h"

#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

#include "controls/TextBridge.h"
#include "dictionary/Hotkeys.h"
#include "target/TextPreparation.h"
#include "templates/MenuLayout.h"

namespace quillon::gui {

namespace {

std::uint32_t Options(const CResourceItem& item) {
    auto* node = dynamic_cast<const CMenuNode*>(&item);
    return node ? node->m_dwOptions : 0;
}

// Classic templates mark a separator by an entry with ID 0 and no text.
bool IsSeparator(const CResourceItem& item) {
    if (item.GetKind() != ItemKind::MenuItem) return false;
    return (Options(item) & MenuOption::kSeparator) || (item.m_nID == 0 && item.GetText().empty());
}

bool IsEnabled(const CResourceItem& item) {
    return !(Options(item) & (MenuOption::kGrayed | MenuOption::kDisabled));
}

bool IsChecked(const CResourceItem& item) { return (Options(item) & MenuOption::kChecked) != 0; }

// The text with '&' before its hotkey, as the target's menu will show it.
QString MenuText(const CResourceItem& item, const CodePage& codePage) {
    return ToQt(PrepareText(item.GetTargetText(), TargetHotkey(item, codePage), codePage), codePage);
}

void ApplyOptions(QAction* action, const CResourceItem& item) {
    action->setEnabled(IsEnabled(item));
    if (IsChecked(item)) {
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

void AddMenuEntries(const CResourceItem& level, QMenuBar* bar, const CodePage& codePage) {
    AddEntries(level, bar, codePage);
}

void AddMenuEntries(const CResourceItem& level, QMenu* menu, const CodePage& codePage) {
    AddEntries(level, menu, codePage);
}

QString MenuEntryName(const CResourceItem& item, const CodePage& codePage) {
    std::string text = item.GetTargetText();
    return ToQt(text.substr(0, text.find("\\t")), codePage);
}

CMenuPopupView::CMenuPopupView(const CResourceItem& popup, const CodePage& codePage, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("menuPopup"));
    for (const auto& child : popup.GetChildren()) {
        Row row;
        row.separator = IsSeparator(*child);
        row.enabled = IsEnabled(*child);
        row.checked = IsChecked(*child);
        if (!row.separator) {
            // PrepareText turns the template's \t into a real tab.
            QString text = MenuText(*child, codePage);
            qsizetype tab = text.indexOf(QLatin1Char('\t'));
            row.text = text.left(tab);
            if (tab >= 0) row.accelerator = text.mid(tab + 1);
        }
        if (child->GetKind() == ItemKind::PopupMenu) {
            row.submenu = new QMenu(row.text, this);
            row.submenu->setSeparatorsCollapsible(false);
            AddMenuEntries(*child, row.submenu, codePage);
        }
        m_rows.push_back(row);
    }
    setMouseTracking(true);
    Measure();
}

void CMenuPopupView::InitOption(QStyleOptionMenuItem& option, int row) const {
    const Row& entry = m_rows[static_cast<std::size_t>(row)];
    option.initFrom(this);
    option.state = QStyle::State_None;
    if (entry.enabled) option.state |= QStyle::State_Enabled;
    if (row == m_hover && entry.enabled && !entry.separator) option.state |= QStyle::State_Selected;
    option.menuItemType = entry.separator ? QStyleOptionMenuItem::Separator
                          : entry.submenu ? QStyleOptionMenuItem::SubMenu
                                          : QStyleOptionMenuItem::Normal;
    option.checkType = entry.checked ? QStyleOptionMenuItem::NonExclusive : QStyleOptionMenuItem::NotCheckable;
    option.checked = entry.checked;
    option.menuHasCheckableItems = std::any_of(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.checked; });
    // The style draws what follows the tab right-aligned in the reserved column.
    option.text = entry.accelerator.isEmpty() ? entry.text : entry.text + QLatin1Char('\t') + entry.accelerator;
    option.reservedShortcutWidth = m_tabWidth;
    option.maxIconWidth = 0;
    option.menuRect = rect();
    if (row < static_cast<int>(m_rects.size())) option.rect = m_rects[static_cast<std::size_t>(row)];
}

// As a menu measures itself: each entry's text, the widest accelerator
// reserved for all of them, the style's frame and margins around.
void CMenuPopupView::Measure() {
    const QFontMetrics metrics = fontMetrics();
    for (const Row& row : m_rows) m_tabWidth = std::max(m_tabWidth, metrics.horizontalAdvance(row.accelerator));
    if (m_tabWidth > 0) m_tabWidth += metrics.horizontalAdvance(QStringLiteral("    "));
    const int frame = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    const int left = frame + style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, this);
    int top = frame + style()->pixelMetric(QStyle::PM_MenuVMargin, nullptr, this);
    std::vector<QSize> sizes;
    int width = 0;
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        QStyleOptionMenuItem option;
        InitOption(option, i);
        const Row& row = m_rows[static_cast<std::size_t>(i)];
        QSize text = row.separator ? QSize(2, 2) : metrics.size(Qt::TextShowMnemonic, row.text);
        QSize size = style()->sizeFromContents(QStyle::CT_MenuItem, &option, text, this);
        width = std::max(width, size.width() + m_tabWidth);
        sizes.push_back(size);
    }
    m_rects.clear();
    for (const QSize& size : sizes) {
        m_rects.emplace_back(left, top, width, size.height());
        top += size.height();
    }
    setFixedSize(width + 2 * left, top + left);
}

QSize CMenuPopupView::sizeHint() const { return size(); }

QRect CMenuPopupView::RowRect(int row) const {
    return row >= 0 && row < static_cast<int>(m_rects.size()) ? m_rects[static_cast<std::size_t>(row)] : QRect();
}

int CMenuPopupView::RowAt(const QPoint& position) const {
    for (int i = 0; i < static_cast<int>(m_rects.size()); ++i)
        if (m_rects[static_cast<std::size_t>(i)].contains(position)) return i;
    return -1;
}

bool CMenuPopupView::OpenSubmenu(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return false;
    QMenu* submenu = m_rows[static_cast<std::size_t>(row)].submenu;
    if (!submenu || !m_rows[static_cast<std::size_t>(row)].enabled) return false;
    submenu->popup(mapToGlobal(RowRect(row).topRight()));
    return true;
}

void CMenuPopupView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionMenuItem panel;
    panel.initFrom(this);
    panel.state = QStyle::State_None;
    panel.checkType = QStyleOptionMenuItem::NotCheckable;
    panel.menuRect = rect();
    style()->drawPrimitive(QStyle::PE_PanelMenu, &panel, &painter, this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    style()->drawPrimitive(QStyle::PE_FrameMenu, &frame, &painter, this);
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        QStyleOptionMenuItem option;
        InitOption(option, i);
        style()->drawControl(QStyle::CE_MenuItem, &option, &painter, this);
    }
}

void CMenuPopupView::mouseMoveEvent(QMouseEvent* event) {
    int row = RowAt(event->position().toPoint());
    if (row == m_hover) return;
    m_hover = row;
    update();
}

void CMenuPopupView::mousePressEvent(QMouseEvent* event) { OpenSubmenu(RowAt(event->position().toPoint())); }

void CMenuPopupView::leaveEvent(QEvent*) {
    m_hover = -1;
    update();
}

} // namespace quillon::gui
