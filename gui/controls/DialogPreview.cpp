#include "controls/DialogPreview.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <functional>

#include "check/TextFit.h"
#include "target/TextPreparation.h"
#include "controls/DialogPreviewControls.h"
#include "controls/TextBridge.h"
#include "templates/WindowStyles.h"

namespace quillon::gui {

namespace {

using namespace quillon::win32;

constexpr int kUpDownWidth = 16;
constexpr int kLargestFontPixels = 96;

constexpr int kHandleCount = 8;
constexpr int kMoveHandle = kHandleCount;
constexpr int kHandleSize = 5;
constexpr int kHandleSlack = 2;
constexpr int kMinimumSize = 4;

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

// A translated control shows its translation with '&' put before the
// hotkey. Any other control shows the template's own title: the tree keeps
// only the hotkey letter, and its first occurrence need not be where the
// '&' stood ("Cus&tom" for "Custom &text").
ControlTexts TextsFor(const CResourceItem* item, const NameOrOrdinal& title, const CodePage& codePage) {
    ControlTexts texts;
    if (item && item->IsTranslated()) {
        texts.shown = ToQt(PrepareText(item->GetTranslation(), item->m_chTransHotkey, codePage), codePage);
        texts.list = ToQt(item->GetTranslation(), codePage);
    } else if (!title.isOrdinal) {
        texts.shown = QString::fromStdU16String(title.text);
        texts.list = item ? ToQt(item->GetText(), codePage) : StripMnemonic(texts.shown);
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
    m_caption = ToQt(dialog.GetTargetText(), codePage);
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
    ControlTexts texts = TextsFor(ControlItem(dialog, index, item.id), item.title, codePage);
    preview::ControlArgs args{this, item.style, item.exStyle, texts.shown,
                              QString::fromStdU16String(ControlClassName(item.windowClass))};
    preview::Built built = preview::MakeControl(args);
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

// Buttons, check boxes, group boxes and statics are measured by the core,
// as the check measures them, so the preview and the check agree. Other
// texts, and every text when no substitute font is installed, are measured
// with Qt in the dialog's font in the room the control leaves them; a word
// wider than that room overflows as much as lines that do not fit.
bool CDialogPreviewWidget::TextOverflows(const Control& control) const {
    if (!control.measureText || control.text.isEmpty()) return false;
    if (std::optional<FontSpec> font = DialogFont(m_template)) {
        ControlBox box{control.className.toStdU16String(), control.style, control.exStyle, control.rect.width(),
                       control.rect.height()};
        auto fit = FitControlText(TextMeasure::Shared(), *font, m_units.y, box, control.text.toStdU16String());
        if (fit) return !fit->fits;
    }
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