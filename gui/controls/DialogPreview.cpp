#include "controls/DialogPreview.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QDateEdit>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
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
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimeEdit>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "build/TextPreparation.h"
#include "ui/TextBridge.h"

namespace quillon::gui {

namespace {

// Window styles every control may carry.
constexpr std::uint32_t WS_DISABLED = 0x08000000;
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_VSCROLL = 0x00200000;
constexpr std::uint32_t WS_HSCROLL = 0x00100000;
constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200;
constexpr std::uint32_t WS_EX_STATICEDGE = 0x00020000;
constexpr std::uint32_t WS_EX_RIGHT = 0x00001000;
constexpr std::uint32_t WS_EX_LAYOUTRTL = 0x00400000;

// Button types (style & 0x0F) and flags.
constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1;
constexpr std::uint32_t BS_CHECKBOX = 0x2;
constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3;
constexpr std::uint32_t BS_RADIOBUTTON = 0x4;
constexpr std::uint32_t BS_3STATE = 0x5;
constexpr std::uint32_t BS_AUTO3STATE = 0x6;
constexpr std::uint32_t BS_GROUPBOX = 0x7;
constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x9;
constexpr std::uint32_t BS_OWNERDRAW = 0xB;
constexpr std::uint32_t BS_COMMANDLINK = 0xE;
constexpr std::uint32_t BS_DEFCOMMANDLINK = 0xF;
constexpr std::uint32_t BS_LEFTTEXT = 0x20;
constexpr std::uint32_t BS_PUSHLIKE = 0x1000;
constexpr std::uint32_t BS_MULTILINE = 0x2000;
constexpr std::uint32_t BS_FLAT = 0x8000;

constexpr std::uint32_t ES_CENTER = 0x1;
constexpr std::uint32_t ES_RIGHT = 0x2;
constexpr std::uint32_t ES_MULTILINE = 0x4;
constexpr std::uint32_t ES_PASSWORD = 0x20;
constexpr std::uint32_t ES_AUTOHSCROLL = 0x80;
constexpr std::uint32_t ES_READONLY = 0x800;

// Static types (style & 0x1F) and flags.
constexpr std::uint32_t SS_CENTER = 0x1;
constexpr std::uint32_t SS_RIGHT = 0x2;
constexpr std::uint32_t SS_ICON = 0x3;
constexpr std::uint32_t SS_BLACKRECT = 0x4;
constexpr std::uint32_t SS_WHITERECT = 0x6;
constexpr std::uint32_t SS_BLACKFRAME = 0x7;
constexpr std::uint32_t SS_WHITEFRAME = 0x9;
constexpr std::uint32_t SS_SIMPLE = 0xB;
constexpr std::uint32_t SS_LEFTNOWORDWRAP = 0xC;
constexpr std::uint32_t SS_BITMAP = 0xE;
constexpr std::uint32_t SS_ENHMETAFILE = 0xF;
constexpr std::uint32_t SS_ETCHEDHORZ = 0x10;
constexpr std::uint32_t SS_ETCHEDVERT = 0x11;
constexpr std::uint32_t SS_ETCHEDFRAME = 0x12;
constexpr std::uint32_t SS_REALSIZECONTROL = 0x40;
constexpr std::uint32_t SS_NOPREFIX = 0x80;
constexpr std::uint32_t SS_NOTIFY = 0x100;
constexpr std::uint32_t SS_CENTERIMAGE = 0x200;
constexpr std::uint32_t SS_SUNKEN = 0x1000;
constexpr std::uint32_t SS_ELLIPSISMASK = 0xC000;
constexpr std::uint32_t SS_PATHELLIPSIS = 0x8000;

constexpr std::uint32_t LBS_MULTICOLUMN = 0x200;
constexpr std::uint32_t LBS_DISABLENOSCROLL = 0x1000;
constexpr std::uint32_t SBS_VERT = 0x1;
constexpr std::uint32_t SBS_SIZEBOX = 0x8;
constexpr std::uint32_t SBS_SIZEGRIP = 0x10;
constexpr std::uint32_t CBS_SIMPLE = 0x1;
constexpr std::uint32_t CBS_DROPDOWN = 0x2;

constexpr std::uint32_t LVS_REPORT = 0x1;
constexpr std::uint32_t LVS_LIST = 0x3;
constexpr std::uint32_t LVS_TYPEMASK = 0x3;
constexpr std::uint32_t LVS_NOCOLUMNHEADER = 0x4000;
constexpr std::uint32_t TVS_LINESATROOT = 0x4;
constexpr std::uint32_t PBS_VERTICAL = 0x4;
constexpr std::uint32_t PBS_MARQUEE = 0x8;
constexpr std::uint32_t TBS_AUTOTICKS = 0x1;
constexpr std::uint32_t TBS_VERT = 0x2;
constexpr std::uint32_t TBS_TOP = 0x4;
constexpr std::uint32_t TBS_BOTH = 0x8;
constexpr std::uint32_t TBS_NOTICKS = 0x10;
constexpr std::uint32_t UDS_ALIGNRIGHT = 0x4;
constexpr std::uint32_t UDS_ALIGNLEFT = 0x8;
constexpr std::uint32_t UDS_AUTOBUDDY = 0x10;
constexpr std::uint32_t UDS_HORZ = 0x40;
constexpr std::uint32_t DTS_UPDOWN = 0x1;
constexpr std::uint32_t DTS_FORMATMASK = 0xC;
constexpr std::uint32_t DTS_TIMEFORMATBITS = 0x8;

// Windows' geometry of the text inside buttons at 96 DPI: push buttons lose
// their 2-pixel bevel and a pixel of focus rectangle on each side; check
// boxes and radios put the text after a 13-pixel box and half a character.
constexpr QMargins kPushButtonText{3, 2, 3, 2};
constexpr int kCheckBoxTextOffset = 16;
constexpr QMargins kGroupBoxTitle{7, 0, 7, 0};
constexpr int kIconSize = 32;
constexpr int kEtchedThickness = 2;
constexpr int kUpDownWidth = 16;
constexpr int kLargestFontPixels = 96;

constexpr int kHandleCount = 8;
constexpr int kMoveHandle = kHandleCount;
constexpr int kHandleSize = 5;
constexpr int kHandleSlack = 2;
constexpr int kMinimumSize = 4;

struct ControlArgs {
    QWidget* parent = nullptr;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    QString text;
    QString className;
};

struct Built {
    Built(QWidget* control = nullptr, QMargins margins = {}, bool measure = false, bool wrap = false)
        : widget(control), textMargins(margins), measureText(measure), wrapText(wrap) {}
    QWidget* widget = nullptr;
    QMargins textMargins;
    bool measureText = false;
    bool wrapText = false;
    bool background = false;
    int forcedWidth = -1;
    int forcedHeight = -1;
};

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
    if (type == BS_OWNERDRAW) return Placeholder(args, QStringLiteral("Owner-draw"));
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
        built = Placeholder(args, QStringLiteral("Owner-draw"));
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

Built MakeControl(const ControlArgs& args) {
    auto factory = Factories().find(args.className.toLower());
    if (factory == Factories().end()) return Placeholder(args, args.className);
    return (*factory)(args);
}

// Fonts -----------------------------------------------------------------

// Linux families with the metrics of the Windows dialog faces: Liberation
// Sans has Arial's widths, which come closest to MS Sans Serif and Tahoma
// (DejaVu Sans is a last resort: it runs about 6% wider).
QString LinuxFamily(const QString& face) {
    static const QStringList sansFaces = {"ms sans serif", "microsoft sans serif", "ms shell dlg", "ms shell dlg 2",
                                          "tahoma",        "segoe ui",             "arial",        "helv",
                                          "system",        "verdana"};
    static const QStringList monoFaces = {"courier new", "courier", "fixedsys", "terminal", "lucida console"};
    QString key = face.trimmed().toLower();
    QStringList candidates = {"Liberation Sans", "Arimo", "DejaVu Sans"};
    if (monoFaces.contains(key))
        candidates = {"Liberation Mono", "DejaVu Sans Mono"};
    else if (key == "times new roman" || key == "ms serif")
        candidates = {"Liberation Serif", "DejaVu Serif"};
    else if (!sansFaces.contains(key))
        candidates.prepend(face.trimmed());
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : candidates)
        if (installed.contains(family, Qt::CaseInsensitive)) return family;
    return candidates.back();
}

struct FontChoice {
    QString face;      // the Windows face the template asks for
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
};

// Without DS_SETFONT the dialog uses the bold system font; 0x7FFF asks for
// the message font, which is Segoe UI 9 since Windows Vista.
FontChoice ChooseFont(const DialogTemplate& dialog) {
    if (!dialog.hasFont) return {QStringLiteral("System"), 10, 700, false};
    if (dialog.pointSize == kMessageFontPointSize) return {QStringLiteral("Segoe UI"), 9, 400, false};
    return {QString::fromStdU16String(dialog.face), dialog.pointSize, dialog.weight == 0 ? 400 : dialog.weight,
            dialog.italic};
}

QFont PixelFont(const FontChoice& choice, int weight) {
    QFont font(LinuxFamily(choice.face));
    // A damaged template can ask for any size; no real dialog goes past 72 points.
    font.setPixelSize(std::clamp(MulDiv(choice.pointSize, 96, 72), 1, kLargestFontPixels));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(choice.italic);
    return font;
}

DialogBaseUnits ChooseBaseUnits(const DialogTemplate& dialog, const FontChoice& choice) {
    if (!dialog.hasFont) return kSystemFontBaseUnits;
    if (auto known = KnownBaseUnits(choice.face.toStdU16String(), choice.pointSize)) return *known;
    // Not a face Windows' numbers are known for: measure the substitute the
    // way the dialog manager measures, with a normal-weight font.
    QFontMetrics metrics(PixelFont(choice, 400));
    int width52 = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnitsFromMetrics(width52, metrics.height());
}

// Texts -------------------------------------------------------------------

struct ControlTexts {
    QString shown; // with '&' before the hotkey and real line breaks
    QString list;  // as the tree stores it
};

QString StripMnemonic(QString text) {
    for (int i = 0; i < text.size(); ++i)
        if (text[i] == u'&') text.remove(i, 1); // "&&" keeps the second '&'
    return text;
}

// The item of the dialog that holds a control's text: the children are the
// controls in template order, but a tree merged with another version of the
// module may differ, so the ID decides when the position does not match.
const CResourceItem* MatchingItem(const CResourceItem& dialog, std::size_t index, std::uint32_t id) {
    const auto& children = dialog.GetChildren();
    std::int32_t treeId = static_cast<std::uint16_t>(id);
    if (index < children.size() && children[index]->m_nID == treeId) return children[index].get();
    if (treeId == 0xFFFF) return nullptr;
    for (const auto& child : children)
        if (child->m_nID == treeId) return child.get();
    return nullptr;
}

// A translated control shows its translation with '&' put before the
// hotkey. Any other control shows the template's own title: the tree keeps
// only the hotkey letter, and its first occurrence need not be where the
// '&' stood ("Cus&tom" for "Custom &text").
ControlTexts TextsFor(const CResourceItem* item, const NameOrOrdinal& title, const CodePage& codePage) {
    ControlTexts texts;
    if (item && item->IsTranslated()) {
        texts.shown = ToQt(PrepareText(item->m_strTranslation, item->m_chTransHotkey, codePage), codePage);
        texts.list = ToQt(item->m_strTranslation, codePage);
    } else if (!title.isOrdinal) {
        texts.shown = QString::fromStdU16String(title.text);
        texts.list = item ? ToQt(item->m_strText, codePage) : StripMnemonic(texts.shown);
    }
    texts.shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texts.shown.replace(u'\r', u'\n');
    return texts;
}

// Overlay ---------------------------------------------------------------

// Paints the overflow frames and the tracker above every control.
class Overlay : public QWidget {
public:
    Overlay(std::function<void(QPainter&)> paint, QWidget* parent) : QWidget(parent), m_paint(std::move(paint)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_paint(painter);
    }

private:
    std::function<void(QPainter&)> m_paint;
};

} // namespace

// Small painted controls ------------------------------------------------------

CPreviewText::CPreviewText(QString text, int drawFlags, Qt::TextElideMode elide, QWidget* parent)
    : QFrame(parent), m_text(std::move(text)), m_flags(drawFlags), m_elide(elide) {}

void CPreviewText::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    QRect box = contentsRect();
    QString text = m_text;
    if (m_elide != Qt::ElideNone) text = fontMetrics().elidedText(text, m_elide, box.width(), m_flags);
    painter.drawText(box, m_flags, text);
}

CPreviewPlaceholder::CPreviewPlaceholder(QString className, QString text, QWidget* parent)
    : QWidget(parent), m_className(std::move(className)), m_text(std::move(text)) {}

// The class name, and the text below it when there is room for both;
// each line is cut with an ellipsis rather than wrapped out of sight.
void CPreviewPlaceholder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xC0, 0xC0, 0xC0));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QFont small = font();
    small.setPixelSize(std::max(8, font().pixelSize() - 2));
    painter.setFont(small);
    painter.setPen(Qt::black);
    QFontMetrics metrics(small);
    QStringList lines{m_className};
    if (!m_text.isEmpty() && height() >= 2 * metrics.height() + 2) lines << StripMnemonic(m_text);
    QRect box = rect().adjusted(2, 1, -2, -1);
    for (QString& line : lines) line = metrics.elidedText(line, Qt::ElideRight, box.width());
    painter.drawText(box, Qt::AlignCenter, lines.join(u'\n'));
}

CPreviewImage::CPreviewImage(QWidget* parent) : QWidget(parent) {}

// A framed picture symbol: a sun over two hills, in the size of the control.
void CPreviewImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF box = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.setBrush(QColor(0xDD, 0xE8, 0xF4));
    painter.drawRoundedRect(box, 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF2, 0xB1, 0x34));
    double sun = box.width() / 6;
    painter.drawEllipse(QPointF(box.left() + box.width() * 0.7, box.top() + box.height() * 0.3), sun, sun);
    QPolygonF hills;
    hills << QPointF(box.left() + 1, box.bottom() - 1) << QPointF(box.left() + box.width() * 0.35, box.center().y())
          << QPointF(box.left() + box.width() * 0.6, box.bottom() - box.height() * 0.3)
          << QPointF(box.left() + box.width() * 0.75, box.bottom() - box.height() * 0.4)
          << QPointF(box.right() - 1, box.bottom() - 1);
    painter.setBrush(QColor(0x5A, 0x8F, 0x4E));
    painter.drawPolygon(hills);
}

// The preview ---------------------------------------------------------------

CDialogPreviewWidget::CDialogPreviewWidget(const CResourceItem& dialog, const CodePage& codePage, QWidget* parent)
    : QWidget(parent) {
    const std::string& caption = dialog.IsTranslated() ? dialog.m_strTranslation : dialog.m_strText;
    m_caption = ToQt(caption, codePage);
    // Set explicitly: a widget without its own role takes its parent's.
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    if (auto parsed = ParseDialogTemplate(dialog.GetData())) {
        m_template = std::move(*parsed);
        m_valid = true;
        Build(dialog, codePage);
    }
}

void CDialogPreviewWidget::Build(const CResourceItem& dialog, const CodePage& codePage) {
    FontChoice choice = ChooseFont(m_template);
    setFont(PixelFont(choice, choice.weight));
    m_units = ChooseBaseUnits(m_template, choice);
    // The template's size is the client area, which this widget stands for.
    setFixedSize(std::max(0, MulDiv(m_template.cx, m_units.x, 4)), std::max(0, MulDiv(m_template.cy, m_units.y, 8)));
    for (std::size_t i = 0; i < m_template.controls.size(); ++i) AddControl(dialog, i, codePage);
    KeepOneDefaultButton();
    // A tab control usually comes late in the template yet must not hide
    // the controls on its pages.
    for (const Control& control : m_controls)
        if (control.className.compare(QStringLiteral("SysTabControl32"), Qt::CaseInsensitive) == 0)
            control.widget->lower();
    m_overlay = new Overlay([this](QPainter& painter) { PaintOverlay(painter); }, this);
    m_overlay->setGeometry(rect());
    m_overlay->raise();
    for (int i = 0; i < ControlCount(); ++i) m_controls[i].overflowing = TextOverflows(m_controls[i]);
}

void CDialogPreviewWidget::AddControl(const CResourceItem& dialog, std::size_t index, const CodePage& codePage) {
    const DialogControlTemplate& item = m_template.controls[index];
    ControlTexts texts = TextsFor(MatchingItem(dialog, index, item.id), item.title, codePage);
    ControlArgs args{this, item.style, item.exStyle, texts.shown,
                     QString::fromStdU16String(ControlClassName(item.windowClass))};
    Built built = MakeControl(args);
    Control control;
    control.widget = built.widget;
    control.text = texts.shown;
    control.listText = texts.list;
    control.className = args.className;
    control.style = item.style;
    control.exStyle = item.exStyle;
    control.id = item.id;
    control.textMargins = built.textMargins;
    control.measureText = built.measureText;
    control.wrapText = built.wrapText;
    control.background = built.background;
    control.forcedWidth = built.forcedWidth;
    control.forcedHeight = built.forcedHeight;
    // WS_VISIBLE is not looked at: controls the program hides are usually
    // shown later, and the translator needs to see their texts all the same.
    built.widget->setEnabled(!(item.style & WS_DISABLED));
    MakeInert(built.widget);
    // Windows puts each new control below the ones before it.
    built.widget->lower();
    m_controls.push_back(control);
    ApplyRect(ControlCount() - 1, ToPixels(item));
    m_controls.back().templateRect = m_controls.back().rect;
    AttachUpDownToBuddy(index);
}

// An up-down control that picks the previous control as its buddy and
// aligns to it narrows the buddy by its own width and sits at its edge.
void CDialogPreviewWidget::AttachUpDownToBuddy(std::size_t index) {
    const Control& upDown = m_controls[index];
    std::uint32_t align = upDown.style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT);
    if (index == 0 || !(upDown.style & UDS_AUTOBUDDY) || align == 0 ||
        upDown.className.compare(QStringLiteral("msctls_updown32"), Qt::CaseInsensitive) != 0)
        return;
    Control& buddy = m_controls[index - 1];
    QRect narrowed = buddy.rect.adjusted(align == UDS_ALIGNLEFT ? kUpDownWidth : 0, 0,
                                         align == UDS_ALIGNLEFT ? 0 : -kUpDownWidth, 0);
    ApplyRect(static_cast<int>(index) - 1, narrowed);
    buddy.templateRect = buddy.rect;
    int x = align == UDS_ALIGNLEFT ? buddy.rect.left() - kUpDownWidth : buddy.rect.right() + 1;
    ApplyRect(static_cast<int>(index), QRect(x, buddy.rect.top(), kUpDownWidth, buddy.rect.height()));
    m_controls[index].templateRect = m_controls[index].rect;
}

void CDialogPreviewWidget::MakeInert(QWidget* widget) {
    QList<QWidget*> widgets = widget->findChildren<QWidget*>();
    widgets.prepend(widget);
    for (QWidget* each : widgets) {
        each->setAttribute(Qt::WA_TransparentForMouseEvents);
        each->setFocusPolicy(Qt::NoFocus);
        each->installEventFilter(this);
    }
}

// Only the last default push button of a template stays the default one, as
// the dialog manager demotes the earlier ones.
void CDialogPreviewWidget::KeepOneDefaultButton() {
    bool seen = false;
    for (auto control = m_controls.rbegin(); control != m_controls.rend(); ++control) {
        auto* button = qobject_cast<QPushButton*>(control->widget);
        if (!button || !button->isDefault()) continue;
        button->setDefault(!seen);
        seen = true;
    }
}

QRect CDialogPreviewWidget::ToPixels(const DialogControlTemplate& control) const {
    PixelRect pixels = DialogUnitsToPixels(control.x, control.y, control.cx, control.cy, m_units);
    QRect rect(pixels.x, pixels.y, pixels.width, pixels.height);
    // A right-to-left dialog mirrors its controls' positions.
    if (m_template.exStyle & WS_EX_LAYOUTRTL) rect.moveLeft(width() - rect.right() - 1);
    return rect;
}

void CDialogPreviewWidget::ApplyRect(int index, QRect rect) {
    Control& control = m_controls[index];
    if (control.forcedWidth >= 0) rect.setWidth(control.forcedWidth);
    if (control.forcedHeight >= 0) rect.setHeight(control.forcedHeight);
    control.rect = rect;
    control.widget->setGeometry(rect);
}

QWidget* CDialogPreviewWidget::ControlWidget(int index) const {
    return index >= 0 && index < ControlCount() ? m_controls[index].widget : nullptr;
}
QRect CDialogPreviewWidget::ControlRect(int index) const {
    return index >= 0 && index < ControlCount() ? m_controls[index].rect : QRect();
}
QRect CDialogPreviewWidget::TemplateRect(int index) const {
    return index >= 0 && index < ControlCount() ? m_controls[index].templateRect : QRect();
}
QString CDialogPreviewWidget::ControlText(int index) const {
    return index >= 0 && index < ControlCount() ? m_controls[index].text : QString();
}
bool CDialogPreviewWidget::IsOverflowing(int index) const {
    return index >= 0 && index < ControlCount() && m_controls[index].overflowing;
}

QStringList CDialogPreviewWidget::OverflowingControls() const {
    QStringList texts;
    for (const Control& control : m_controls)
        if (control.overflowing) texts << control.listText;
    return texts;
}

// Overflow ------------------------------------------------------------------

// The text is measured in the dialog's font in the room the control leaves
// it; a word wider than that room overflows as much as lines that do not fit.
bool CDialogPreviewWidget::TextOverflows(const Control& control) const {
    if (!control.measureText || control.text.isEmpty()) return false;
    QRect room = control.rect.marginsRemoved(control.textMargins);
    int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextShowMnemonic |
                (control.wrapText ? Qt::TextWordWrap : Qt::TextSingleLine);
    QString text = control.text;
    if (qobject_cast<QLabel*>(control.widget)) text = QTextDocumentFragment::fromHtml(text).toPlainText();
    QRect needed = fontMetrics().boundingRect(QRect(0, 0, std::max(room.width(), 1), 0xFFFF), flags, text);
    return needed.width() > room.width() || needed.height() > room.height();
}

bool CDialogPreviewWidget::UpdateOverflow(int index) {
    Control& control = m_controls[index];
    bool overflowing = TextOverflows(control);
    if (overflowing == control.overflowing) return false;
    control.overflowing = overflowing;
    emit overflowChanged();
    return true;
}

// Selection and tracker ---------------------------------------------------------

void CDialogPreviewWidget::SelectControl(int index) {
    if (index < -1 || index >= ControlCount()) index = -1;
    if (index == m_selected) return;
    QRect before = ControlRect(m_selected);
    m_selected = index;
    RepaintAround(before, ControlRect(m_selected));
    emit selectionChanged(m_selected);
}

void CDialogPreviewWidget::ResetControl(int index) {
    if (index < 0 || index >= ControlCount()) return;
    QRect before = m_controls[index].rect;
    ApplyRect(index, m_controls[index].templateRect);
    UpdateOverflow(index);
    RepaintAround(before, m_controls[index].rect);
}

void CDialogPreviewWidget::RepaintAround(const QRect& before, const QRect& after) {
    if (!m_overlay) return;
    int margin = kHandleSize + kHandleSlack + 2;
    QMargins grow(margin, margin, margin, margin);
    if (before.isValid()) m_overlay->update(before.marginsAdded(grow));
    if (after.isValid()) m_overlay->update(after.marginsAdded(grow));
}

// Handles sit on the tracker line, one pixel outside the control: corners
// clockwise from the top left, each followed by the middle of the next edge.
QRect CDialogPreviewWidget::HandleRect(const QRect& rect, int handle) const {
    int left = rect.left() - 1, right = rect.right() + 1, top = rect.top() - 1, bottom = rect.bottom() + 1;
    int midX = (left + right) / 2, midY = (top + bottom) / 2;
    static constexpr int kXs[kHandleCount] = {0, 1, 2, 2, 2, 1, 0, 0};
    static constexpr int kYs[kHandleCount] = {0, 0, 0, 1, 2, 2, 2, 1};
    int xs[3] = {left, midX, right};
    int ys[3] = {top, midY, bottom};
    QPoint centre(xs[kXs[handle]], ys[kYs[handle]]);
    return QRect(centre.x() - kHandleSize / 2, centre.y() - kHandleSize / 2, kHandleSize, kHandleSize);
}

int CDialogPreviewWidget::HandleAt(QPoint pos) const {
    if (m_selected < 0) return -1;
    QMargins slack(kHandleSlack, kHandleSlack, kHandleSlack, kHandleSlack);
    for (int handle = 0; handle < kHandleCount; ++handle)
        if (HandleRect(m_controls[m_selected].rect, handle).marginsAdded(slack).contains(pos)) return handle;
    return -1;
}

// Solid controls first, in template order (the first is on top); group
// boxes, plain statics and tab controls only where nothing solid is.
int CDialogPreviewWidget::HitTest(QPoint pos) const {
    for (bool background : {false, true})
        for (int i = 0; i < ControlCount(); ++i)
            if (m_controls[i].background == background && m_controls[i].rect.contains(pos)) return i;
    return -1;
}

void CDialogPreviewWidget::PaintOverlay(QPainter& painter) const {
    painter.setPen(QPen(Qt::red, 2));
    painter.setBrush(Qt::NoBrush);
    for (const Control& control : m_controls)
        if (control.overflowing) painter.drawRect(QRectF(control.rect).adjusted(1, 1, -1, -1));
    if (m_selected < 0) return;
    const QRect& rect = m_controls[m_selected].rect;
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(rect.adjusted(-1, -1, 0, 0));
    for (int handle = 0; handle < kHandleCount; ++handle) painter.fillRect(HandleRect(rect, handle), Qt::black);
}

// Dragging ------------------------------------------------------------------

QRect CDialogPreviewWidget::DraggedRect(QPoint pos) const {
    QPoint delta = pos - m_drag.start;
    QRect rect = m_drag.startRect;
    if (m_drag.handle == kMoveHandle) {
        rect.translate(delta);
        rect.moveTo(std::clamp(rect.x(), 0, std::max(0, width() - rect.width())),
                    std::clamp(rect.y(), 0, std::max(0, height() - rect.height())));
        return rect;
    }
    static constexpr bool kMovesLeft[kHandleCount] = {true, false, false, false, false, false, true, true};
    static constexpr bool kMovesRight[kHandleCount] = {false, false, true, true, true, false, false, false};
    static constexpr bool kMovesTop[kHandleCount] = {true, true, true, false, false, false, false, false};
    static constexpr bool kMovesBottom[kHandleCount] = {false, false, false, false, true, true, true, false};
    int h = m_drag.handle;
    if (kMovesLeft[h]) rect.setLeft(std::min(rect.left() + delta.x(), rect.right() - kMinimumSize + 1));
    if (kMovesRight[h]) rect.setRight(std::max(rect.right() + delta.x(), rect.left() + kMinimumSize - 1));
    if (kMovesTop[h]) rect.setTop(std::min(rect.top() + delta.y(), rect.bottom() - kMinimumSize + 1));
    if (kMovesBottom[h]) rect.setBottom(std::max(rect.bottom() + delta.y(), rect.top() + kMinimumSize - 1));
    return rect;
}

void CDialogPreviewWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    QPoint pos = event->position().toPoint();
    int handle = HandleAt(pos);
    if (handle < 0) {
        if (m_selected < 0 || !m_controls[m_selected].rect.contains(pos)) SelectControl(HitTest(pos));
        if (m_selected < 0) return;
        handle = kMoveHandle;
    }
    m_drag = {true, handle, pos, m_controls[m_selected].rect};
}

void CDialogPreviewWidget::mouseMoveEvent(QMouseEvent* event) {
    QPoint pos = event->position().toPoint();
    if (!m_drag.active || !(event->buttons() & Qt::LeftButton) || m_selected < 0) {
        UpdateCursor(pos);
        return;
    }
    QRect before = m_controls[m_selected].rect;
    ApplyRect(m_selected, DraggedRect(pos));
    UpdateOverflow(m_selected);
    RepaintAround(before, m_controls[m_selected].rect);
}

void CDialogPreviewWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_drag.active = false;
}

void CDialogPreviewWidget::UpdateCursor(QPoint pos) {
    static constexpr Qt::CursorShape kShapes[kHandleCount] = {
        Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
        Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor};
    int handle = HandleAt(pos);
    if (handle >= 0)
        setCursor(kShapes[handle]);
    else if (m_selected >= 0 && m_controls[m_selected].rect.contains(pos))
        setCursor(Qt::SizeAllCursor);
    else
        unsetCursor();
}

// Keys --------------------------------------------------------------------------

void CDialogPreviewWidget::NudgeSelected(int dx, int dy) {
    QRect before = m_controls[m_selected].rect;
    ApplyRect(m_selected, before.translated(dx, dy));
    UpdateOverflow(m_selected);
    RepaintAround(before, m_controls[m_selected].rect);
}

// Arrow keys move the selected control by one dialog unit; Escape puts it
// back where the template has it (and closes the window when it is there).
void CDialogPreviewWidget::keyPressEvent(QKeyEvent* event) {
    if (m_selected < 0) return QWidget::keyPressEvent(event);
    int stepX = std::max(1, MulDiv(1, m_units.x, 4));
    int stepY = std::max(1, MulDiv(1, m_units.y, 8));
    switch (event->key()) {
    case Qt::Key_Left: return NudgeSelected(-stepX, 0);
    case Qt::Key_Right: return NudgeSelected(stepX, 0);
    case Qt::Key_Up: return NudgeSelected(0, -stepY);
    case Qt::Key_Down: return NudgeSelected(0, stepY);
    case Qt::Key_Escape:
        if (m_controls[m_selected].rect != m_controls[m_selected].templateRect) return ResetControl(m_selected);
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}

// Events ----------------------------------------------------------------------

QString CDialogPreviewWidget::ToolTipFor(int index) const {
    const Control& control = m_controls[index];
    return QStringLiteral("%1, ID %2\nstyle 0x%3, extended style 0x%4")
        .arg(control.className)
        .arg(control.id)
        .arg(control.style, 8, 16, QChar(u'0'))
        .arg(control.exStyle, 8, 16, QChar(u'0'));
}

bool CDialogPreviewWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        int index = HitTest(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), ToolTipFor(index), this, m_controls[index].rect);
        else
            QToolTip::hideText();
        return true;
    }
    if (event->type() == QEvent::Resize && m_overlay) m_overlay->setGeometry(rect());
    return QWidget::event(event);
}

// The controls' mnemonics would click them when the translator presses Alt
// and a letter; the preview only shows them.
bool CDialogPreviewWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Shortcut) return true;
    return QWidget::eventFilter(watched, event);
}

} // namespace quillon::gui
