// The dialog preview's control factories: one per window class, each
// building the Qt widget that looks most like the Windows control and
// saying how much of it the text may use.

#include "controls/DialogPreviewControls.h"

#include <QCoreApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSizeGrip>
#include <QSlider>
#include <QStyleOption>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "controls/DialogPreview.h"
#include "templates/WindowStyles.h"

namespace quillon::gui::preview {

namespace {

using namespace quillon::win32;

// Windows' geometry of the text inside buttons at 96 DPI: push buttons lose
// their 2-pixel bevel and a pixel of focus rectangle on each side; check
// boxes and radios put the text after a 13-pixel box and half a character.
constexpr QMargins kPushButtonText{3, 2, 3, 2};
constexpr int kCheckBoxTextOffset = 16;
constexpr QMargins kGroupBoxTitle{7, 0, 7, 0};
constexpr int kIconSize = 32;
constexpr int kEtchedThickness = 2;

bool HasBorder(const ControlArgs& args) {
    return (args.style & WS_BORDER) || (args.exStyle & WS_EX_CLIENTEDGE);
}

Qt::ScrollBarPolicy ScrollPolicy(bool present, bool alwaysShown) {
    if (!present) return Qt::ScrollBarAlwaysOff;
    return alwaysShown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
}

void ApplyFrame(QFrame* frame, const ControlArgs& args) {
    if (!HasBorder(args)) frame->setFrameShape(QFrame::NoFrame);
}

// A read-only edit has the dialog's colour behind its text, as on Windows.
void ShowReadOnly(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    widget->setPalette(palette);
}

Built Placeholder(const ControlArgs& args, const QString& label) {
    return {new CPreviewPlaceholder(label, args.text, args.parent)};
}

// Buttons ---------------------------------------------------------------

Built PushButton(const ControlArgs& args, bool checkable) {
    auto* button = new QPushButton(args.text, args.parent);
    button->setAutoDefault(false);
    button->setDefault((args.style & 0x0F) == BS_DEFPUSHBUTTON);
    button->setFlat(args.style & BS_FLAT);
    button->setCheckable(checkable);
    return {button, kPushButtonText, true, bool(args.style & BS_MULTILINE)};
}

Built CheckOrRadio(const ControlArgs& args, QAbstractButton* button) {
    QMargins room(kCheckBoxTextOffset, 0, 0, 0);
    if (args.style & BS_LEFTTEXT) {
        button->setLayoutDirection(Qt::RightToLeft);
        room = QMargins(0, 0, kCheckBoxTextOffset, 0);
    }
    return {button, room, true, bool(args.style & BS_MULTILINE)};
}

// Windows draws a group box as an etched frame whose top edge runs through
// the middle of the title; Qt styles put the title above the frame.
class WindowsGroupBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QFontMetrics metrics = fontMetrics();
        QRect frame = rect().adjusted(0, metrics.height() / 2 - 1, -1, -1);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(frame.adjusted(1, 1, 0, 0));
        if (title().isEmpty()) return;
        int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextExpandTabs | Qt::TextShowMnemonic;
        QRect room(kGroupBoxTitle.left(), 0, std::max(1, width() - kGroupBoxTitle.left()), metrics.height());
        QRect text = metrics.boundingRect(room, flags, title());
        painter.fillRect(text.adjusted(-2, 0, 2, 0), palette().window());
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        painter.drawText(room, flags, title());
    }
};

Built MakeButton(const ControlArgs& args) {
    std::uint32_t type = args.style & 0x0F;
    bool checkOrRadio = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                        type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    if (checkOrRadio && (args.style & BS_PUSHLIKE)) return PushButton(args, true);
    if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        auto* radio = new QRadioButton(args.text, args.parent);
        radio->setAutoExclusive(false);
        return CheckOrRadio(args, radio);
    }
    if (checkOrRadio) {
        auto* check = new QCheckBox(args.text, args.parent);
        check->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
        return CheckOrRadio(args, check);
    }
    if (type == BS_GROUPBOX) {
        Built built{new WindowsGroupBox(args.text, args.parent), kGroupBoxTitle, true};
        built.background = true;
        return built;
    }
    if (type == BS_OWNERDRAW) return Placeholder(args, QCoreApplication::translate("DialogPreview", "Owner-draw"));
    if (type == BS_COMMANDLINK || type == BS_DEFCOMMANDLINK) return {new QCommandLinkButton(args.text, args.parent)};
    return PushButton(args, false);
}

// Edits -----------------------------------------------------------------

Built MakeEdit(const ControlArgs& args) {
    bool readOnly = args.style & ES_READONLY;
    QWidget* widget = nullptr;
    if (args.style & ES_MULTILINE) {
        auto* edit = new QPlainTextEdit(args.text, args.parent);
        edit->setReadOnly(readOnly);
        edit->setVerticalScrollBarPolicy(ScrollPolicy(args.style & WS_VSCROLL, true));
        edit->setHorizontalScrollBarPolicy(ScrollPolicy(args.style & WS_HSCROLL, true));
        // Without horizontal scrolling a multi-line edit wraps at the border.
        bool wraps = !(args.style & (ES_AUTOHSCROLL | WS_HSCROLL));
        edit->setLineWrapMode(wraps ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        ApplyFrame(edit, args);
        widget = edit;
    } else {
        auto* edit = new QLineEdit(args.text, args.parent);
        edit->setReadOnly(readOnly);
        edit->setFrame(HasBorder(args));
        if (args.style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
        Qt::Alignment horizontal = (args.style & ES_RIGHT)    ? Qt::AlignRight
                                   : (args.style & ES_CENTER) ? Qt::AlignHCenter
                                                              : Qt::AlignLeft;
        edit->setAlignment(horizontal | Qt::AlignVCenter);
        edit->setCursorPosition(0);
        widget = edit;
    }
    if (readOnly) ShowReadOnly(widget);
    return {widget};
}

// Statics ---------------------------------------------------------------

bool IsTextStatic(std::uint32_t type) {
    return type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

int StaticDrawFlags(const ControlArgs& args) {
    std::uint32_t type = args.style & 0x1F;
    int flags = Qt::TextExpandTabs;
    if (type == SS_CENTER)
        flags |= Qt::AlignHCenter;
    else if (type == SS_RIGHT || (args.exStyle & WS_EX_RIGHT))
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    bool singleLine = type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP || (args.style & SS_CENTERIMAGE) ||
                      (args.style & SS_ELLIPSISMASK);
    flags |= singleLine ? Qt::TextSingleLine : Qt::TextWordWrap;
    flags |= (args.style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
    if (!(args.style & SS_NOPREFIX)) flags |= Qt::TextShowMnemonic;
    return flags;
}

Built StaticText(const ControlArgs& args) {
    std::uint32_t ellipsis = args.style & SS_ELLIPSISMASK;
    Qt::TextElideMode elide = ellipsis == 0                 ? Qt::ElideNone
                              : ellipsis == SS_PATHELLIPSIS ? Qt::ElideMiddle
                                                            : Qt::ElideRight;
    int flags = StaticDrawFlags(args);
    auto* text = new CPreviewText(args.text, flags, elide, args.parent);
    QMargins frame;
    if ((args.style & SS_SUNKEN) || (args.exStyle & WS_EX_STATICEDGE)) {
        text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame = QMargins(1, 1, 1, 1);
    } else if (HasBorder(args)) {
        text->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        frame = QMargins(2, 2, 2, 2);
    }
    return {text, frame, true, bool(flags & Qt::TextWordWrap)};
}

// Filled rectangles and 1-pixel frames in the 3-D dark shadow, shadow and
// highlight colours, as Windows draws the black, grey and white kinds.
Built StaticShape(const ControlArgs& args, std::uint32_t type) {
    static constexpr QPalette::ColorRole kRoles[] = {QPalette::Shadow, QPalette::Dark, QPalette::Light};
    auto* frame = new QFrame(args.parent);
    bool filled = type <= SS_WHITERECT;
    QPalette::ColorRole role = kRoles[type - (filled ? SS_BLACKRECT : SS_BLACKFRAME)];
    QPalette palette = frame->palette();
    palette.setColor(filled ? QPalette::Window : QPalette::WindowText, palette.color(role));
    frame->setPalette(palette);
    if (filled) {
        frame->setAutoFillBackground(true);
    } else {
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setLineWidth(1);
    }
    return {frame};
}

Built EtchedShape(const ControlArgs& args, std::uint32_t type) {
    auto* frame = new QFrame(args.parent);
    Built built{frame};
    if (type == SS_ETCHEDHORZ) {
        frame->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        built.forcedHeight = kEtchedThickness;
    } else if (type == SS_ETCHEDVERT) {
        frame->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        built.forcedWidth = kEtchedThickness;
    } else {
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    }
    return built;
}

// Windows sizes an icon static to the icon (32 x 32 at 96 DPI) unless told
// to keep the control's size.
Built StaticImage(const ControlArgs& args, std::uint32_t type) {
    Built built{new CPreviewImage(args.parent)};
    if (type == SS_ICON && !(args.style & (SS_CENTERIMAGE | SS_REALSIZECONTROL))) {
        built.forcedWidth = kIconSize;
        built.forcedHeight = kIconSize;
    }
    return built;
}

Built MakeStatic(const ControlArgs& args) {
    std::uint32_t type = args.style & 0x1F;
    Built built;
    if (IsTextStatic(type))
        built = StaticText(args);
    else if (type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE)
        built = StaticImage(args, type);
    else if (type >= SS_BLACKRECT && type <= SS_WHITEFRAME)
        built = StaticShape(args, type);
    else if (type >= SS_ETCHEDHORZ && type <= SS_ETCHEDFRAME)
        built = EtchedShape(args, type);
    else
        built = Placeholder(args, QCoreApplication::translate("DialogPreview", "Owner-draw"));
    // Windows passes clicks through statics unless they ask for them.
    built.background = !(args.style & SS_NOTIFY);
    return built;
}

// Lists, scroll bars, combo boxes ----------------------------------------

Built MakeListBox(const ControlArgs& args) {
    auto* list = new QListWidget(args.parent);
    list->setVerticalScrollBarPolicy(ScrollPolicy(args.style & WS_VSCROLL, args.style & LBS_DISABLENOSCROLL));
    list->setHorizontalScrollBarPolicy(ScrollPolicy(args.style & WS_HSCROLL, args.style & LBS_DISABLENOSCROLL));
    if (args.style & LBS_MULTICOLUMN) {
        list->setFlow(QListView::LeftToRight);
        list->setWrapping(true);
    }
    ApplyFrame(list, args);
    return {list};
}

Built MakeScrollBar(const ControlArgs& args) {
    if (args.style & (SBS_SIZEBOX | SBS_SIZEGRIP)) return {new QSizeGrip(args.parent)};
    return {new QScrollBar(args.style & SBS_VERT ? Qt::Vertical : Qt::Horizontal, args.parent)};
}

// A simple combo box shows its edit above an always-open list.
Built SimpleComboBox(const ControlArgs& args) {
    auto* box = new QWidget(args.parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new QLineEdit(args.text, box));
    layout->addWidget(new QListWidget(box), 1);
    return {box};
}

// The template's height of a drop-down combo box is the height with the
// list open; closed, the control takes its height from the font.
Built MakeComboBox(const ControlArgs& args) {
    std::uint32_t type = args.style & 0x3;
    if (type == CBS_SIMPLE) return SimpleComboBox(args);
    auto* combo = new QComboBox(args.parent);
    if (type == CBS_DROPDOWN) {
        combo->setEditable(true);
        combo->setEditText(args.text);
    }
    Built built{combo};
    built.forcedHeight = combo->sizeHint().height();
    return built;
}

// Common controls --------------------------------------------------------

Built MakeListView(const ControlArgs& args) {
    std::uint32_t view = args.style & LVS_TYPEMASK;
    QAbstractScrollArea* area = nullptr;
    if (view == LVS_REPORT) {
        auto* tree = new QTreeWidget(args.parent);
        tree->setRootIsDecorated(false);
        tree->setHeaderLabels({QString()});
        tree->setHeaderHidden(args.style & LVS_NOCOLUMNHEADER);
        area = tree;
    } else {
        auto* list = new QListWidget(args.parent);
        list->setViewMode(view == LVS_LIST || view == 0x2 ? QListView::ListMode : QListView::IconMode);
        list->setFlow(view == LVS_LIST ? QListView::TopToBottom : QListView::LeftToRight);
        list->setWrapping(true);
        area = list;
    }
    ApplyFrame(area, args);
    return {area};
}

Built MakeTreeView(const ControlArgs& args) {
    auto* tree = new QTreeWidget(args.parent);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(args.style & TVS_LINESATROOT);
    ApplyFrame(tree, args);
    return {tree};
}

Built MakeProgress(const ControlArgs& args) {
    auto* bar = new QProgressBar(args.parent);
    bar->setTextVisible(false);
    bar->setOrientation(args.style & PBS_VERTICAL ? Qt::Vertical : Qt::Horizontal);
    // A marquee bar has no position; a still, empty bar is what it shows between steps.
    bar->setRange(0, 100);
    bar->setValue(args.style & PBS_MARQUEE ? 0 : 30);
    return {bar};
}

Built MakeTrackbar(const ControlArgs& args) {
    auto* slider = new QSlider(args.style & TBS_VERT ? Qt::Vertical : Qt::Horizontal, args.parent);
    slider->setRange(0, 100);
    slider->setTickInterval(args.style & TBS_AUTOTICKS ? 10 : 100);
    QSlider::TickPosition ticks = (args.style & TBS_NOTICKS) ? QSlider::NoTicks
                                  : (args.style & TBS_BOTH)  ? QSlider::TicksBothSides
                                  : (args.style & TBS_TOP)   ? QSlider::TicksAbove
                                                             : QSlider::TicksBelow;
    slider->setTickPosition(ticks);
    return {slider};
}

// Two arrow buttons, stacked or side by side.
class UpDownArrows : public QWidget {
public:
    UpDownArrows(bool horizontal, QWidget* parent) : QWidget(parent), m_horizontal(horizontal) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QRect first = m_horizontal ? QRect(0, 0, width() / 2, height()) : QRect(0, 0, width(), height() / 2);
        QRect second = m_horizontal ? QRect(first.right() + 1, 0, width() - first.width(), height())
                                    : QRect(0, first.bottom() + 1, width(), height() - first.height());
        PaintArrowButton(painter, first, m_horizontal ? QStyle::PE_IndicatorArrowLeft : QStyle::PE_IndicatorArrowUp);
        PaintArrowButton(painter, second,
                         m_horizontal ? QStyle::PE_IndicatorArrowRight : QStyle::PE_IndicatorArrowDown);
    }

private:
    void PaintArrowButton(QPainter& painter, const QRect& rect, QStyle::PrimitiveElement arrow) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = rect;
        option.state |= QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
        option.rect = rect.adjusted(3, 2, -3, -2);
        style()->drawPrimitive(arrow, &option, &painter, this);
    }
    bool m_horizontal;
};

Built MakeUpDown(const ControlArgs& args) {
    return {new UpDownArrows(args.style & UDS_HORZ, args.parent)};
}

// Tab controls get their pages at run time; the frame alone shows the area.
Built MakeTab(const ControlArgs& args) {
    Built built{new QTabWidget(args.parent)};
    built.background = true;
    return built;
}

Built MakeDateTime(const ControlArgs& args) {
    bool time = (args.style & DTS_FORMATMASK) == DTS_TIMEFORMATBITS;
    QDateTimeEdit* edit = time ? static_cast<QDateTimeEdit*>(new QTimeEdit(args.parent))
                               : static_cast<QDateTimeEdit*>(new QDateEdit(args.parent));
    edit->setCalendarPopup(!time && !(args.style & DTS_UPDOWN));
    return {edit};
}

Built MakeMonthCalendar(const ControlArgs& args) { return {new QCalendarWidget(args.parent)}; }

Built MakeRichEdit(const ControlArgs& args) {
    auto* edit = new QTextEdit(args.parent);
    edit->setPlainText(args.text);
    edit->setReadOnly(args.style & ES_READONLY);
    edit->setVerticalScrollBarPolicy(ScrollPolicy(args.style & WS_VSCROLL, true));
    edit->setHorizontalScrollBarPolicy(ScrollPolicy(args.style & WS_HSCROLL, true));
    ApplyFrame(edit, args);
    if (args.style & ES_READONLY) ShowReadOnly(edit);
    return {edit};
}

// A SysLink title is markup whose <a> elements need not name a target;
// Qt shows an element as a link only with an href.
Built MakeLink(const ControlArgs& args) {
    QString markup = args.text;
    markup.replace(QStringLiteral("<a>"), QStringLiteral("<a href=\"#\">"), Qt::CaseInsensitive);
    auto* label = new QLabel(args.parent);
    label->setTextFormat(Qt::RichText);
    label->setText(markup);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return {label, {}, true, true};
}

Built MakeHotkey(const ControlArgs& args) { return {new QKeySequenceEdit(args.parent)}; }

Built MakeIpAddress(const ControlArgs& args) {
    auto* edit = new QLineEdit(args.parent);
    edit->setInputMask(QStringLiteral("000.000.000.000;_"));
    return {edit};
}

using Factory = Built (*)(const ControlArgs&);

// Class names compare case-insensitively, so the table is keyed lower-case.
const QHash<QString, Factory>& Factories() {
    static const QHash<QString, Factory> factories = {
        {"button", MakeButton},
        {"edit", MakeEdit},
        {"static", MakeStatic},
        {"listbox", MakeListBox},
        {"scrollbar", MakeScrollBar},
        {"combobox", MakeComboBox},
        {"comboboxex32", MakeComboBox},
        {"syslistview32", MakeListView},
        {"systreeview32", MakeTreeView},
        {"msctls_progress32", MakeProgress},
        {"msctls_trackbar32", MakeTrackbar},
        {"msctls_updown32", MakeUpDown},
        {"systabcontrol32", MakeTab},
        {"sysdatetimepick32", MakeDateTime},
        {"sysmonthcal32", MakeMonthCalendar},
        {"richedit", MakeRichEdit},
        {"richedit20a", MakeRichEdit},
        {"richedit20w", MakeRichEdit},
        {"richedit50w", MakeRichEdit},
        {"syslink", MakeLink},
        {"msctls_hotkey32", MakeHotkey},
        {"sysipaddress32", MakeIpAddress},
    };
    return factories;
}

} // namespace

Built MakeControl(const ControlArgs& args) {
    auto factory = Factories().find(args.className.toLower());
    if (factory == Factories().end()) return Placeholder(args, args.className);
    return (*factory)(args);
}

} // namespace quillon::gui::preview
