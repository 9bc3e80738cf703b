#include "controls/ChartWnd.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>

namespace quillon::gui {

namespace {

const QColor kShadowNear(170, 170, 170);
const QColor kShadowFar(190, 190, 190);
const QColor kGridShade(170, 170, 170);

// A bar's shaded part: deep enough to tell apart from the glossy rest even
// where the rest is darkest, at its two ends.
QColor DoneShade(const QColor& colour) { return colour.darker(170); }

QRect FromEdges(int left, int top, int right, int bottom) { return {left, top, right - left, bottom - top}; }

void FillBand(QPainter& painter, const QRect& band, const QColor& from, const QColor& to) {
    if (band.isEmpty()) return;
    QLinearGradient gradient(band.left(), 0, band.left() + band.width(), 0);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(band, gradient);
}

// Edge colour to the middle over the left third, back to the edge colour over
// the rest: the highlight sits left of centre, as on a lit cylinder.
void FillGloss(QPainter& painter, const QRect& bar, const QColor& edge, const QColor& middle) {
    int third = bar.width() / 3;
    FillBand(painter, QRect(bar.left(), bar.top(), third, bar.height()), edge, middle);
    FillBand(painter, QRect(bar.left() + third, bar.top(), bar.width() - third, bar.height()), middle, edge);
}

void DrawOutline(QPainter& painter, const QRect& bar, const QColor& colour) {
    int thick = std::min({2, bar.width(), bar.height()});
    painter.fillRect(QRect(bar.left(), bar.top(), bar.width(), thick), colour);
    painter.fillRect(QRect(bar.left(), bar.bottom() - thick + 1, bar.width(), thick), colour);
    painter.fillRect(QRect(bar.left(), bar.top(), thick, bar.height()), colour);
    painter.fillRect(QRect(bar.right() - thick + 1, bar.top(), thick, bar.height()), colour);
}

// Light falls from the top left: a near grey line under and right of the bar,
// a lighter one a pixel further out and offset by one.
void DrawShadow(QPainter& painter, const QRect& bar) {
    int right = bar.right() + 1;
    int bottom = bar.bottom() + 1;
    painter.fillRect(FromEdges(bar.left(), bottom, right + 1, bottom + 1), kShadowNear);
    painter.fillRect(FromEdges(right, bar.top(), right + 1, bottom + 1), kShadowNear);
    painter.fillRect(FromEdges(bar.left() + 1, bottom + 1, right + 2, bottom + 2), kShadowFar);
    painter.fillRect(FromEdges(right + 1, bar.top() + 1, right + 2, bottom + 2), kShadowFar);
}

void DrawShadedBar(QPainter& painter, const QRect& bar, const QRect& done, const QColor& colour) {
    FillGloss(painter, bar, colour, Qt::white);
    if (!done.isEmpty()) {
        // The same gloss, darker, so the done part keeps the bar's shape.
        painter.save();
        painter.setClipRect(done, Qt::IntersectClip);
        FillGloss(painter, bar, DoneShade(colour), colour);
        painter.restore();
    }
    DrawOutline(painter, bar, colour);
    DrawShadow(painter, bar);
}

QFont MakeChartFont() {
    // Arial with a 14-pixel cell, of which about 12 pixels are the em.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    font.setWeight(QFont::Light);
    return font;
}

} // namespace

CChartWnd::CChartWnd(QWidget* parent)
    : QWidget(parent), m_font(MakeChartFont()), m_crBack(palette().color(QPalette::Base)) {
    // Painting covers every pixel, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent, m_bFill);
    m_refuseTitle = [this](const QString& message) {
        QMessageBox::information(this, QStringLiteral("Quillon"), message);
    };
}

bool CChartWnd::Initialize() {
    SetRange(0, 100, 4);
    RecalcLayout();
    return true;
}

bool CChartWnd::SetRange(float min, float max, int steps) {
    // A refused range leaves the old one, so a later resize cannot divide by
    // an empty or negative span.
    if (!(max > min)) return false;
    m_fMin = min;
    m_fMax = max;
    m_nSteps = std::max(1, steps);
    RecalcLayout();
    update();
    return true;
}

bool CChartWnd::SetTitle(const QString& title) {
    if (title == m_strTitle) {
        if (m_refuseTitle) m_refuseTitle(tr("They are the same ,  please input another name!\n"));
        return false;
    }
    m_strTitle = title;
    RecalcLayout();
    update();
    return true;
}

// The label column is sized by one label: the first, then the second, then
// any later label longer (in characters) than the one measured so far.
void CChartWnd::AddBar(const QString& label, int value, const QColor& colour, int image, int done) {
    m_aBars.push_back(Bar{label, value, image, colour, done});
    int index = static_cast<int>(m_aBars.size()) - 1;
    if (index < 2 || label.size() > m_aBars[static_cast<std::size_t>(m_nMeasured)].m_strLabel.size())
        m_nMeasured = index;
    if (index >= 2) RecalcLayout();
    update();
}

void CChartWnd::SetBackground(const QColor& colour, bool fill) {
    m_crBack = colour;
    m_bFill = fill;
    setAttribute(Qt::WA_OpaquePaintEvent, fill);
    update();
}

void CChartWnd::SetGridMode(int mode) {
    m_nGridMode = mode;
    update();
}

void CChartWnd::RecalcLayout() {
    if (m_aBars.empty() || m_nMeasured < 0) return;
    QFontMetrics metrics(m_font);
    const QString& label = m_aBars[static_cast<std::size_t>(m_nMeasured)].m_strLabel;
    m_nRow = std::max(m_nRow, metrics.height());
    m_nLeft = metrics.horizontalAdvance(label) + 4;
    // 24 pixels stay free at the right for the last value label's second half.
    m_fScale = static_cast<float>(width() - m_nLeft - 24) / (m_fMax - m_fMin);
}

void CChartWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RecalcLayout();
}

int CChartWnd::ValueX(float value) const { return static_cast<int>((value - m_fMin) * m_fScale) + m_nLeft + 4; }

int CChartWnd::StepX(int step) const {
    return static_cast<int>((m_fMax - m_fMin) * m_fScale * static_cast<float>(step) / static_cast<float>(m_nSteps)) +
           m_nLeft + 4;
}

// A bar too small to see is widened (or heightened) to two pixels, so a kind
// with no items still shows where its bar would be.
QRect CChartWnd::BarRect(int index) const {
    const Bar& bar = m_aBars[static_cast<std::size_t>(index)];
    int left = m_nLeft + 5;
    int top = m_nRow * index + m_nTop + 4;
    int width = ValueX(static_cast<float>(bar.m_nValue)) - left;
    int height = m_nRow * (index + 1) + m_nTop - 4 - top;
    return {left, top, width > 0 ? width : 2, height >= 1 ? height : 2};
}

QRect CChartWnd::DoneRect(int index) const {
    const Bar& bar = m_aBars[static_cast<std::size_t>(index)];
    if (bar.m_nDone <= 0) return {};
    QRect whole = BarRect(index);
    int right = std::min(ValueX(static_cast<float>(bar.m_nDone)), whole.left() + whole.width());
    if (right <= whole.left()) return {};
    return FromEdges(whole.left(), whole.top(), right, whole.top() + whole.height());
}

std::vector<QRect> CChartWnd::BarRects() const {
    std::vector<QRect> rects;
    for (int i = 0; i < static_cast<int>(m_aBars.size()); ++i) rects.push_back(BarRect(i));
    return rects;
}

std::vector<QRect> CChartWnd::DoneRects() const {
    std::vector<QRect> rects;
    for (int i = 0; i < static_cast<int>(m_aBars.size()); ++i) rects.push_back(DoneRect(i));
    return rects;
}

std::vector<std::pair<QString, QRect>> CChartWnd::LabelRects() const {
    std::vector<std::pair<QString, QRect>> labels;
    for (int i = 0; i < static_cast<int>(m_aBars.size()); ++i)
        labels.emplace_back(m_aBars[static_cast<std::size_t>(i)].m_strLabel,
                            FromEdges(4, m_nRow * i + m_nTop, m_nLeft, m_nRow * (i + 1) + m_nTop));
    return labels;
}

// Each value label is centred on its grid line, wide enough for "100%".
std::vector<std::pair<QString, QRect>> CChartWnd::ValueLabelRects() const {
    std::vector<std::pair<QString, QRect>> labels;
    for (int k = 0; k <= m_nSteps; ++k) {
        float value = (m_fMax - m_fMin) * static_cast<float>(k) / static_cast<float>(m_nSteps) + m_fMin;
        QString text = QString::number(static_cast<int>(value));
        if (m_bPercent) text += QLatin1Char('%');
        int x = StepX(k);
        labels.emplace_back(text, FromEdges(x - 46, 2, x + 50, 30));
    }
    return labels;
}

QRect CChartWnd::TitleRect() const { return FromEdges(4, 0, m_nLeft, m_nTop); }

void CChartWnd::DrawTexts(QPainter& painter) const {
    painter.drawText(TitleRect(), Qt::AlignCenter | Qt::TextSingleLine, m_strTitle);
    for (const auto& [text, rect] : ValueLabelRects())
        painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
}

// Each line looks pressed into the surface: white, framed by two grid-colour
// lines, with a grey line to its right.
void CChartWnd::DrawRaisedGrid(QPainter& painter) const {
    int top = m_nTop - 4;
    int height = this->height() - top;
    for (int k = 0; k <= m_nSteps; ++k) {
        int x = StepX(k);
        painter.fillRect(QRect(x - 1, top, 1, height), m_crGrid);
        painter.fillRect(QRect(x, top, 1, height), Qt::white);
        painter.fillRect(QRect(x + 1, top, 1, height), m_crGrid);
        painter.fillRect(QRect(x + 2, top, 1, height), kGridShade);
    }
}

// The plain grid is an axis at the first step and short ticks at the others.
void CChartWnd::DrawPlainGrid(QPainter& painter) const {
    int top = m_nTop - 4;
    for (int k = 0; k <= m_nSteps; ++k) {
        int bottom = k == 0 ? height() : m_nTop;
        painter.fillRect(FromEdges(StepX(k), top, StepX(k) + 1, bottom), m_crGrid);
    }
}

void CChartWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_bFill) painter.fillRect(rect(), m_crBack);
    if (m_aBars.empty()) return;
    painter.setFont(m_font);
    painter.setPen(palette().color(QPalette::WindowText));
    DrawTexts(painter);
    if (m_nGridMode == 2) DrawRaisedGrid(painter);
    auto labels = LabelRects();
    for (int i = 0; i < static_cast<int>(m_aBars.size()); ++i) {
        const Bar& bar = m_aBars[static_cast<std::size_t>(i)];
        painter.drawText(labels[static_cast<std::size_t>(i)].second,
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, bar.m_strLabel);
        DrawShadedBar(painter, BarRect(i), DoneRect(i), bar.m_crBar);
    }
    if (m_nGridMode == 0) DrawPlainGrid(painter);
}

} // namespace quillon::gui
