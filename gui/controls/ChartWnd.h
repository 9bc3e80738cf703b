#pragma once
// A painted bar chart: a title in the top-left corner, value labels along the
// top, a raised grid, and one labelled row per bar. Each bar is a glossy
// gradient band with a two-pixel outline and a two-pixel shadow. A bar may
// carry a "done" share that is painted in a darker shade from its left end,
// so one row shows both a kind's size and how much of it is finished.
//
// The geometry is computed by the same functions the painting uses, so tests
// can compare the rectangles they return with the pixels of a grab.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

class QPainter;

namespace quillon::gui {

class CChartWnd : public QWidget {
    Q_OBJECT
public:
    struct Bar {
        QString m_strLabel;
        int m_nValue = 0;
        int m_nImage = -1; // kept for callers that pass one; the chart draws no images
        QColor m_crBar;
        int m_nDone = 0; // value up to which the bar is painted darker; 0 for none
    };

    explicit CChartWnd(QWidget* parent = nullptr);

    // Range 0..100 in four steps, and the layout for the current size.
    bool Initialize();
    // Refused (false, nothing changed) unless max is greater than min.
    bool SetRange(float min, float max, int steps);
    // Refused (false, the refusal hook told) when the title is the current one.
    bool SetTitle(const QString& title);
    void AddBar(const QString& label, int value, const QColor& colour, int image = -1, int done = 0);
    void SetBackground(const QColor& colour, bool fill);
    // 2: raised grid under the bars; 0: plain one-pixel lines over them.
    void SetGridMode(int mode);
    // Called with the message when SetTitle refuses; a message box by default.
    std::function<void(const QString&)> m_refuseTitle;

    const std::vector<Bar>& Bars() const { return m_aBars; }
    const QString& Title() const { return m_strTitle; }
    const QFont& ChartFont() const { return m_font; }
    QColor Background() const { return m_crBack; }
    QColor GridColour() const { return m_crGrid; }
    int LabelColumn() const { return m_nLeft; }
    int TitleRow() const { return m_nTop; }
    int RowHeight() const { return m_nRow; }
    float Scale() const { return m_fScale; }
    int MeasuredBar() const { return m_nMeasured; }

    // Where the painting puts things, in widget coordinates.
    int ValueX(float value) const;
    int StepX(int step) const;
    std::vector<QRect> BarRects() const;
    std::vector<QRect> DoneRects() const;
    std::vector<std::pair<QString, QRect>> LabelRects() const;
    std::vector<std::pair<QString, QRect>> ValueLabelRects() const;
    QRect TitleRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RecalcLayout();
    QRect BarRect(int index) const;
    QRect DoneRect(int index) const;
    void DrawTexts(QPainter& painter) const;
    void DrawRaisedGrid(QPainter& painter) const;
    void DrawPlainGrid(QPainter& painter) const;

    int m_nSteps = 4;
    float m_fMin = 0;
    float m_fMax = 24;
    float m_fScale = 1;
    int m_nMeasured = -1;
    int m_nLeft = 60;
    int m_nTop = 24;
    int m_nRow = 24;
    int m_nGridMode = 2;
    QString m_strTitle = QStringLiteral("User");
    std::vector<Bar> m_aBars;
    QFont m_font;
    bool m_bFill = true;
    QColor m_crBack;
    QColor m_crGrid{0, 128, 0};
    bool m_bPercent = true;
};

} // namespace quillon::gui
