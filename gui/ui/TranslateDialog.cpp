#include "ui/TranslateDialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "dictionary/ManualTranslation.h"
#include "extract/TextRules.h"
#include "ui/QuillonDoc.h"
#include "ui/TextBridge.h"

namespace quillon::gui {

CTranslateDlg::CTranslateDlg(CResourceItem& item, CQuillonDoc& doc, QWidget* parent)
    : QDialog(parent), m_item(item), m_doc(doc), m_source(new QPlainTextEdit(this)),
      m_sourceHotkey(new QLineEdit(this)), m_translated(new QPlainTextEdit(this)), m_transHotkey(new QLineEdit(this)),
      m_chNewHotkey(item.m_chHotkey) {
    setWindowTitle(tr("Translate"));
    BuildLayout();
    const CodePage& codePage = doc.GetCodePage();
    m_source->setPlainText(ToQt(item.m_strText, codePage));
    m_translated->setPlainText(ToQt(item.m_strTranslation, codePage));
    if (item.m_chHotkey != 0)
        m_sourceHotkey->setText(HotkeyToQt(item.m_chHotkey, codePage));
    else
        m_transHotkey->setReadOnly(true);
    connect(m_transHotkey, &QLineEdit::textChanged, this, &CTranslateDlg::OnUpdateTransHotkey);
    // Showing the translated hotkey goes through the same check as typing it.
    if (item.m_chTransHotkey != 0) m_transHotkey->setText(HotkeyToQt(item.m_chTransHotkey, codePage));
    m_confirmReplace = [this] {
        return QMessageBox::question(this, QStringLiteral("Quillon"),
                                     tr("This String exists on the dictonary\nwould you repleace it?")) ==
               QMessageBox::Yes;
    };
}

void CTranslateDlg::BuildLayout() {
    m_source->setReadOnly(true);
    m_sourceHotkey->setReadOnly(true);
    m_transHotkey->setMaxLength(1);
    for (QLineEdit* hotkey : {m_sourceHotkey, m_transHotkey}) hotkey->setFixedWidth(60);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Source"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Hotkey"), this), 0, 1, Qt::AlignRight);
    grid->addWidget(m_sourceHotkey, 0, 2);
    grid->addWidget(m_source, 1, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Translated"), this), 2, 0);
    grid->addWidget(new QLabel(tr("Hotkey"), this), 2, 1, Qt::AlignRight);
    grid->addWidget(m_transHotkey, 2, 2);
    grid->addWidget(m_translated, 3, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(tr("OK"), this);
    auto* add = new QPushButton(tr("Add to Dictonary"), this);
    auto* search = new QPushButton(tr("Search Dictonary"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    ok->setDefault(true);
    for (QPushButton* button : {ok, add, search, cancel}) buttons->addWidget(button);
    grid->addLayout(buttons, 4, 0, 1, 3);
    connect(ok, &QPushButton::clicked, this, &CTranslateDlg::accept);
    connect(add, &QPushButton::clicked, this, &CTranslateDlg::OnAddToDictonary);
    connect(search, &QPushButton::clicked, this, &CTranslateDlg::OnSearchDictonary);
    connect(cancel, &QPushButton::clicked, this, &CTranslateDlg::reject);
    resize(620, 380);
}

// Line breaks and tabs typed into the field become the tree's escapes.
std::string CTranslateDlg::TranslatedText() const {
    return EscapeControls(FromQt(m_translated->toPlainText(), m_doc.GetCodePage()));
}

bool CTranslateDlg::Contains(const std::string& text, std::uint16_t hotkey) const {
    return hotkey != 0 && text.find(static_cast<char>(hotkey & 0xFF)) != std::string::npos;
}

void CTranslateDlg::OnUpdateTransHotkey(const QString& text) {
    if (m_settingHotkey || text.isEmpty()) return;
    std::uint16_t hotkey = HotkeyFromQt(text, m_doc.GetCodePage());
    std::string translated = TranslatedText();
    if (Contains(translated, hotkey)) {
        m_chNewHotkey = hotkey;
        return;
    }
    QApplication::beep();
    m_settingHotkey = true;
    m_transHotkey->setText(Contains(translated, m_item.m_chTransHotkey)
                               ? HotkeyToQt(m_item.m_chTransHotkey, m_doc.GetCodePage())
                               : QString());
    m_settingHotkey = false;
}

void CTranslateDlg::accept() {
    std::string translated = TranslatedText();
    if (translated == m_item.m_strText) {
        QDialog::reject(); // nothing changes, not even the hotkey
        return;
    }
    m_item.SetTranslation(translated, m_chNewHotkey);
    m_doc.SetModifiedFlag(true);
    QDialog::accept();
}

void CTranslateDlg::OnAddToDictonary() {
    AddResult result = AddToDictionary(m_doc.Project().m_Dictionary, m_item, TranslatedText(), m_chNewHotkey,
                                       m_confirmReplace);
    if (result == AddResult::Added || result == AddResult::Replaced) {
        m_doc.SetModifiedFlag(true);
        emit dictionaryChanged();
    }
}

void CTranslateDlg::OnSearchDictonary() {
    const CDictonaryEntry* entry = SearchDictionary(m_doc.Project().m_Dictionary, m_item);
    if (!entry) return;
    const CodePage& codePage = m_doc.GetCodePage();
    m_translated->setPlainText(ToQt(entry->m_strTranslation, codePage));
    if (m_chNewHotkey != 0 && entry->m_chHotkey != 0) m_chNewHotkey = entry->m_chHotkey;
    if (Contains(entry->m_strTranslation, m_chNewHotkey)) {
        m_settingHotkey = true;
        m_transHotkey->setText(HotkeyToQt(m_chNewHotkey, codePage));
        m_settingHotkey = false;
    }
}

} // namespace quillon::gui
