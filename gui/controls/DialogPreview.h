#pragma once
// The dialog preview: a dialog rebuilt from its template with real Qt
// widgets, in the template's font and geometry, with the translated texts.
// The translator picks a control, drags it or pulls a handle of its tracker
// to see whether a longer text would fit; nothing is written back.
//
// Every control is inert: mouse-transparent, without focus and with its
// mnemonic shortcuts swallowed, so all input reaches the preview itself.

#include <QFrame>
#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "extract/DialogTemplate.h"
#include "io/CodePage.h"
#include "model/ResourceItem.h"

namespace quillon::gui {

// A static text control painted the way Windows paints it: word breaks,
// expanded tabs, top alignment and '&' as mnemonic unless SS_NOPREFIX.
class CPreviewText : public QFrame {
    Q_OBJECT
public:
    CPreviewText(QString text, int drawFlags, Qt::TextElideMode elide, QWidget* parent);
    const QString& Text() const { return m_text; }
    int DrawFlags() const { return m_flags; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    int m_flags;
    Qt::TextElideMode m_elide;
};

// Stands for a control the preview cannot rebuild (a custom class, an
// owner-drawn control): a grey rectangle with the class name and the text.
class CPreviewPlaceholder : public QWidget {
    Q_OBJECT
public:
    CPreviewPlaceholder(QString className, QString text, QWidget* parent);
    const QString& ClassName() const { return m_className; }
    const QString& Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_className;
    QString m_text;
};

// Stands for an icon or a bitmap, which the module loads at run time.
class CPreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit CPreviewImage(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CDialogPreviewWidget : public QWidget {
    Q_OBJECT
public:
    // `dialog` is a CDialogEntry: its data is the template, its children the
    // controls' texts in template order.
    CDialogPreviewWidget(const CResourceItem& dialog, const CodePage& codePage, QWidget* parent = nullptr);

    // False when the template is damaged; the preview is then empty.
    bool IsValid() const { return m_valid; }
    const DialogTemplate& Template() const { return m_template; }
    // The caption as stored (translated when the dialog is translated).
    const QString& Caption() const { return m_caption; }
    DialogBaseUnits BaseUnits() const { return m_units; }

    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    QWidget* ControlWidget(int index) const;
    // Where the control is now, and where the template puts it.
    QRect ControlRect(int index) const;
    QRect TemplateRect(int index) const;
    // The text as shown, with '&' before the hotkey.
    QString ControlText(int index) const;
    bool IsOverflowing(int index) const;
    // The text of every control whose text does not fit its rectangle, as
    // the translator knows it (without the hotkey marker), in template order.
    QStringList OverflowingControls() const;

    int SelectedControl() const { return m_selected; }
    // -1 clears the selection.
    void SelectControl(int index);
    // Puts a moved or resized control back where the template has it.
    void ResetControl(int index);

signals:
    void selectionChanged(int index);
    void overflowChanged();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Control {
        QWidget* widget = nullptr;
        QRect templateRect;
        QRect rect;
        QString text;
        QString listText;
        QString className;
        std::uint32_t style = 0;
        std::uint32_t exStyle = 0;
        std::uint32_t id = 0;
        // What the control's frame and box take from the text's room.
        QMargins textMargins;
        bool measureText = false;
        bool wrapText = false;
        // Group boxes, plain statics and tab controls let clicks through
        // to the controls they surround.
        bool background = false;
        int forcedWidth = -1;
        int forcedHeight = -1;
        bool overflowing = false;
    };
    struct Drag {
        bool active = false;
        int handle = -1;
        QPoint start;
        QRect startRect;
    };

    void Build(const CResourceItem& dialog, const CodePage& codePage);
    void AddControl(const CResourceItem& dialog, std::size_t index, const CodePage& codePage);
    void AttachUpDownToBuddy(std::size_t index);
    void MakeInert(QWidget* widget);
    void KeepOneDefaultButton();
    QRect ToPixels(const DialogControlTemplate& control) const;
    void ApplyRect(int index, QRect rect);
    bool UpdateOverflow(int index);
    bool TextOverflows(const Control& control) const;
    int HitTest(QPoint pos) const;
    int HandleAt(QPoint pos) const;
    QRect HandleRect(const QRect& rect, int handle) const;
    QRect DraggedRect(QPoint pos) const;
    void UpdateCursor(QPoint pos);
    void NudgeSelected(int dx, int dy);
    void PaintOverlay(QPainter& painter) const;
    QString ToolTipFor(int index) const;
    void RepaintAround(const QRect& before, const QRect& after);

    DialogTemplate m_template;
    bool m_valid = false;
    QString m_caption;
    DialogBaseUnits m_units;
    std::vector<Control> m_controls;
    QWidget* m_overlay = nullptr;
    int m_selected = -1;
    Drag m_drag;
};

} // namespace quillon::gui
