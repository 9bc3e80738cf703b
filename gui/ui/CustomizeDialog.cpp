#include "ui/CustomizeDialog.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/Customization.h"
#include "ui/CustomizeKeyboardPage.h"
#include "ui/CustomizeToolbarsPage.h"
#include "ui/CustomizeToolsPage.h"

namespace quillon::gui {

CCustomizeDialog::CCustomizeDialog(CCustomization& customization, QWidget* parent)
    : QDialog(parent), m_customization(customization), m_tabs(new QTabWidget(this)),
      m_toolBarsPage(new CToolBarsPage(customization, *this)), m_keyboardPage(new CKeyboardPage(customization, *this)),
      m_toolsPage(new CToolsPage(customization, *this)) {
    setWindowTitle(tr("Customize"));
    m_tabs->addTab(m_toolBarsPage, tr("Toolbars"));
    m_tabs->addTab(m_keyboardPage, tr("Keyboard"));
    m_tabs->addTab(m_toolsPage, tr("Tools"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    resize(680, 500);
    m_askName = [this](const QString& label, const QString& text) {
        bool ok = false;
        QString answer = QInputDialog::getText(this, tr("Customize"), label, QLineEdit::Normal, text, &ok);
        return ok ? answer : QString();
    };
    m_warn = [this](const QString& text) { QMessageBox::warning(this, tr("Customize"), text); };
}

void CCustomizeDialog::accept() {
    if (!m_toolsPage->Validate()) {
        m_tabs->setCurrentWidget(m_toolsPage);
        return;
    }
    m_toolBarsPage->Apply();
    m_keyboardPage->Apply();
    m_toolsPage->Apply();
    m_customization.Save();
    QDialog::accept();
}

} // namespace quillon::gui
