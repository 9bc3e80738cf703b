#include "ui/TranslateDialog.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "check/ProjectChecks.h"
#include "dictionary/ManualTranslation.h"
#include "extract/TextRules.h"
#include "ui/QuillonDoc.h"
#include "controls/TextBridge.h"

namespace quillon::gui {

CTranslateDlg::CTranslateDlg(CResourceItem& item, CQuillonDoc& doc, QWidget* parent)
    : QDialog(parent), m_item(item), m_doc(doc), m_source(new QPlainTextEdit(this)),
      m_sourceHotkey(new QLineEdit(this)), m_translated(new QPlainTextEdit(this)), m_transHotkey(new QLineEdit(this)),
      m_refusal(new QLabel(this)), m_previous(new QGroupBox(tr("Before the last update:"), this)),
      m_previousSource(new QLineEdit(m_previous)), m_previousTranslation(new QLineEdit(m_previous)),
      m_chNewHotkey(item.m_chHotkey) {
    setWindowTitle(tr("Translate"));
    BuildLayout();
    ShowPrevious();
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
                                     tr("This String exists on the dictionary\nwould you replace it?")) ==
               QMessageBox::Yes;
    };
}

void CTranslateDlg::BuildLayout() {
    m_source->setReadOnly(true);
    m_sourceHotkey->setReadOnly(true);
    m_transHotkey->setMaxLength(1);
    for (QLineEdit* hotkey : {m_sourceHotkey, m_transHotkey}) hotkey->setFixedWidth(60);
    m_refusal->setWordWrap(true);
    m_refusal->setForegroundRole(QPalette::Highlight);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Source"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Hotkey"), this), 0, 1, Qt::AlignRight);
    grid->addWidget(m_sourceHotkey, 0, 2);
    grid->addWidget(m_source, 1, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Translated"), this), 2, 0);
    grid->addWidget(new QLabel(tr("Hotkey"), this), 2, 1, Qt::AlignRight);
    grid->addWidget(m_transHotkey, 2, 2);
    grid->addWidget(m_translated, 3, 0, 1, 3);
    grid->addWidget(m_refusal, 4, 0, 1, 3);
    m_previous->setObjectName(QStringLiteral("previous"));
    auto* previous = new QFormLayout(m_previous);
    for (QLineEdit* edit : {m_previousSource, m_previousTranslation}) edit->setReadOnly(true);
    previous->addRow(tr("Source:"), m_previousSource);
    previous->addRow(tr("Translated:"), m_previousTranslation);
    grid->addWidget(m_previous, 5, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(tr("OK"), this);
    auto* add = new QPushButton(tr("Add to Dictionary"), this);
    auto* search = new QPushButton(tr("Search Dictionary"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    ok->setDefault(true);
    for (QPushButton* button : {ok, add, search, cancel}) buttons->addWidget(button);
    grid->addLayout(buttons, 6, 0, 1, 3);
    connect(ok, &QPushButton::clicked, this, &CTranslateDlg::accept);
    connect(add, &QPushButton::clicked, this, &CTranslateDlg::OnAddToDictionary);
    connect(search, &QPushButton::clicked, this, &CTranslateDlg::OnSearchDictionary);
    connect(cancel, &QPushButton::clicked, this, &CTranslateDlg::reject);
    resize(620, 380);
}

void CTranslateDlg::ShowPrevious() {
    const PreviousSource* previous = m_doc.PreviousOf(m_item);
    m_previous->setVisible(previous != nullptr);
    if (!previous) return;
    m_previousSource->setText(CoreText(previous->text));
    // An item that was not translated held its source as its translation.
    bool translated = !previous->translation.empty() && previous->translation != previous->text;
    m_previousTranslation->setText(translated ? CoreText(previous->translation) : tr("(not translated)"));
}

// Line breaks and tabs typed into the field become the tree's escapes, the
// line breaks in the form the source uses.
std::string CTranslateDlg::TranslatedText() const {
    const CodePage& codePage = m_doc.GetCodePage();
    return FollowLineBreaks(m_item.m_strText, EscapeTypedControls(FromQt(m_translated->toPlainText(), codePage)), codePage);
}

bool CTranslateDlg::HotkeyFits(const std::string& text, std::uint16_t hotkey) const {
    return CheckManualTranslation(m_item.m_strText, text, hotkey, m_doc.GetCodePage()) != ManualResult::HotkeyNotInText;
}

void CTranslateDlg::ShowRefusal(const QString& text) {
    m_refusal->setText(text);
    if (!text.isEmpty()) QApplication::beep();
}

QString CTranslateDlg::CoreText(const std::string& text) const { return ToQt(text, m_doc.GetCodePage()); }

void CTranslateDlg::OnUpdateTransHotkey(const QString& text) {
    if (m_settingHotkey || text.isEmpty()) return;
    std::uint16_t hotkey = HotkeyFromQt(text, m_doc.GetCodePage());
    std::string translated = TranslatedText();
    if (hotkey != 0 && HotkeyFits(translated, hotkey)) {
        m_chNewHotkey = hotkey;
        ShowRefusal({});
        return;
    }
    ShowRefusal(hotkey == 0 ? tr("A hotkey is one character that the code page writes in one byte.")
                            : CoreText(RefusalText(ManualResult::HotkeyNotInText, hotkey)));
    m_settingHotkey = true;
    bool keepOld = m_item.m_chTransHotkey != 0 && HotkeyFits(translated, m_item.m_chTransHotkey);
    m_transHotkey->setText(keepOld ? HotkeyToQt(m_item.m_chTransHotkey, m_doc.GetCodePage()) : QString());
    m_settingHotkey = false;
}

// The translation may have changed since its hotkey was typed, so OK asks
// the core again and stays open, the item untouched, when it refuses. What
// the checks find as errors, and characters the code page cannot hold, are
// shown first; OK again on the same text keeps it.
void CTranslateDlg::accept() {
    std::string translated = TranslatedText();
    bool confirms = translated == m_item.m_strText;
    std::vector<Finding> findings = CheckCandidate(m_doc.Project(), m_item, translated, m_chNewHotkey);
    auto edit = PlanManualTranslation(m_item, std::move(translated), m_chNewHotkey, m_doc.GetCodePage());
    if (!edit) {
        ShowRefusal(CoreText(edit.GetError().message));
        return;
    }
    QString stop = m_gate.Stop(m_translated->toPlainText(), m_chNewHotkey, findings, m_doc.GetCodePage());
    if (!stop.isEmpty()) {
        ShowRefusal(stop);
        return;
    }
    // OK on the source itself confirms it: the item counts as translated.
    ProjectChange change(confirms ? QT_TRANSLATE_NOOP("ProjectChange", "Confirm")
                                   : QT_TRANSLATE_NOOP("ProjectChange", "Translate"));
    change.Add(std::move(edit).Value());
    if (!change.Empty()) m_doc.Apply(std::move(change));
    QDialog::accept();
}

void CTranslateDlg::OnAddToDictionary() {
    std::string translated = TranslatedText();
    ManualResult check = CheckManualTranslation(m_item.m_strText, translated, m_chNewHotkey, m_doc.GetCodePage());
    if (check == ManualResult::HotkeyNotInText) {
        ShowRefusal(CoreText(RefusalText(check, m_chNewHotkey)));
        return;
    }
    AdditionPlan plan =
        PlanAddToDictionary(m_doc.Project().m_Dictionary, m_item, translated, m_chNewHotkey, m_confirmReplace);
    switch (plan.result) {
    case AddResult::Added:
    case AddResult::Replaced: {
        ShowRefusal({});
        ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Add to Dictionary"));
        change.Add(std::move(*plan.edit));
        m_doc.Apply(std::move(change));
        break;
    }
    case AddResult::SameAsSource: ShowRefusal(CoreText(RefusalText(ManualResult::SameAsSource, 0))); break;
    case AddResult::Refused: {
        // AddToDictionary refuses what CheckEntry refuses; this check says why.
        Status why = CheckEditedEntry(m_item.m_strText, translated, m_chNewHotkey, m_item.GetKind(), m_doc.GetCodePage());
        ShowRefusal(why ? tr("The dictionary cannot take this entry.") : CoreText(why.GetError().message));
        break;
    }
    case AddResult::Kept: break; // the user kept the entry the dictionary has
    }
}

void CTranslateDlg::OnSearchDictionary() {
    const CDictonaryEntry* entry = SearchDictionary(m_doc.Project().m_Dictionary, m_item);
    if (!entry) return;
    const CodePage& codePage = m_doc.GetCodePage();
    m_translated->setPlainText(ToQt(entry->m_strTranslation, codePage));
    if (m_chNewHotkey != 0 && entry->m_chHotkey != 0) m_chNewHotkey = entry->m_chHotkey;
    if (m_chNewHotkey != 0 && HotkeyFits(entry->m_strTranslation, m_chNewHotkey)) {
        m_settingHotkey = true;
        m_transHotkey->setText(HotkeyToQt(m_chNewHotkey, codePage));
        m_settingHotkey = false;
    }
}

} // namespace quillon::gui
