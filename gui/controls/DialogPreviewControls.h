#pragma once
// Internal to the dialog preview: the preview lays the controls out and
// measures their texts, the factories in DialogPreviewControls.cpp decide
// which Qt widget stands for each window class. Nothing else includes this.

#include <QMargins>
#include <QString>
#include <cstdint>

class QWidget;

namespace quillon::gui::preview {

// One control of the template, with its text as the preview shows it.
struct ControlArgs {
    QWidget* parent = nullptr;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    QString text;
    QString className;
};

// The widget a factory made and what the preview needs to know about it to
// place it and to tell whether its text fits (see CDialogPreviewWidget::Control).
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

// Class names compare case-insensitively; a class without a factory gets a
// CPreviewPlaceholder, so every control of the template has a widget.
Built MakeControl(const ControlArgs& args);

} // namespace quillon::gui::preview
