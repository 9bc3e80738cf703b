#pragma once
// The Customize dialog: toolbars (show, create, rename, delete, fill),
// keyboard shortcuts and external tools. Every page edits a copy; only OK
// hands the copies to CCustomization and saves them.

#include <QDialog>
#include <functional>

class QTabWidget;

namespace quillon::gui {

class CCustomization;
class CToolBarsPage;
class CKeyboardPage;
class CToolsPage;

class CCustomizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit CCustomizeDialog(CCustomization& customization, QWidget* parent = nullptr);

    void accept() override;

    // Asks for a toolbar name; empty when cancelled. An input box unless replaced (tests).
    std::function<QString(const QString& label, const QString& text)> m_askName;
    // Says why an edit was refused. A message box unless replaced (tests).
    std::function<void(const QString& text)> m_warn;

private:
    CCustomization& m_customization;
    QTabWidget* m_tabs;
    CToolBarsPage* m_toolBarsPage;
    CKeyboardPage* m_keyboardPage;
    CToolsPage* m_toolsPage;
};

} // namespace quillon::gui
