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
#include <QShortcut>

#include "check/ProjectChecks.h"
#include "dictionary/ManualTranslation.h"
#include "model/ItemKind.h"
#include "model/ItemPath.h"
#include "model/TreeRoots.h"
#include "ui/QuillonDoc.h"
#include "controls/TextBridge.h"
#include "ui/SuggestionList.h"
#include "ui/TranslationCommit.h"

namespace quillon::gui {

CTranslateDlg::CTranslateDlg(CResourceItem& item, CQuillonDoc& doc, QWidget* parent)
    : QDialog(parent), m_item(item), m_doc(doc), m_source(new QPlainTextEdit(this)),
      m_sourceHotkey(new QLineEdit(this)), m_translated(new QPlainTextEdit(this)), m_transHotkey(new QLineEdit(this)),
      m_refusal(new QLabel(this)), m_itemLabel(new QLabel(this)), m_previous(new QGroupBox(tr("Before the last update:"), this)),
      m_previousSource(new QLineEdit(m_previous)), m_previousTranslation(new QLineEdit(m_previous)),
      m_chNewHotkey(item.m_chHotkey) {
    setWindowTitle(tr("Translate"));
    BuildLayout();
    ShowPrevious();
    const CodePage& codePage = doc.GetCodePage();
    m_source->setPlainText(ToQt(item.GetText(), codePage));
    m_translated->setPlainText(TypedTextOf(doc, item));
    m_translated->setFocus();
    m_itemLabel->setObjectName(QStringLiteral("itemLabel"));
    m_itemLabel->setText(ItemDescription());
    m_itemLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (item.m_chHotkey != 0)
        m_sourceHotkey->setText(HotkeyToQt(item.m_chHotkey, codePage));
    else
        m_transHotkey->setReadOnly(true);
    connect(m_transHotkey, &QLineEdit::textChanged, this, &CTranslateDlg::OnUpdateTransHotkey);
    // Showing the translated hotkey goes through the same check as typing it.
    // An untranslated item's field starts empty, and so does its hotkey's:
    // the source's hotkey is what OK stores until another is typed.
    if (item.m_chTransHotkey != 0 && item.IsTranslated())
        m_transHotkey->setText(HotkeyToQt(item.m_chTransHotkey, codePage));
    // What was refused was said of the text before.
    connect(m_translated, &QPlainTextEdit::textChanged, this, [this] { m_refusal->clear(); });
    m_confirmReplace = [this] {
        // Replacing loses the stored entry: Enter must not say yes to it.
        return QMessageBox::question(this, QStringLiteral("Quillon"),
                                     tr("This String exists on the dictionary\nwould you replace it?"),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };
}

void CTranslateDlg::BuildLayout() {
    m_source->setReadOnly(true);
    m_sourceHotkey->setReadOnly(true);
    m_transHotkey->setMaxLength(1);
    for (QLineEdit* hotkey : {m_sourceHotkey, m_transHotkey}) hotkey->setFixedWidth(60);
    m_refusal->setWordWrap(true);
    m_refusal->setForegroundRole(QPalette::Highlight);
    auto* grid = m_grid = new QGridLayout(this);
    grid->addWidget(m_itemLabel, 0, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Source"), this), 1, 0);
    grid->addWidget(new QLabel(tr("Hotkey"), this), 1, 1, Qt::AlignRight);
    grid->addWidget(m_sourceHotkey, 1, 2);
    grid->addWidget(m_source, 2, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Translated"), this), 3, 0);
    grid->addWidget(new QLabel(tr("Hotkey"), this), 3, 1, Qt::AlignRight);
    grid->addWidget(m_transHotkey, 3, 2);
    grid->addWidget(m_translated, 4, 0, 1, 3);
    grid->addWidget(m_refusal, 5, 0, 1, 3);
    m_previous->setObjectName(QStringLiteral("previous"));
    auto* previous = new QFormLayout(m_previous);
    for (QLineEdit* edit : {m_previousSource, m_previousTranslation}) edit->setReadOnly(true);
    previous->addRow(tr("Source:"), m_previousSource);
    previous->addRow(tr("Translated:"), m_previousTranslation);
    grid->addWidget(m_previous, 6, 0, 1, 3);
    grid->addLayout(BuildButtons(), 8, 0, 1, 3); // row 7 for the suggestions
    resize(660, 400);
}

// Enter in the translation field breaks the line, so Ctrl+Enter is OK.
QLayout* CTranslateDlg::BuildButtons() {
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(tr("OK"), this);
    auto* previous = new QPushButton(tr("&Previous"), this);
    auto* next = new QPushButton(tr("&Next"), this);
    auto* copy = new QPushButton(tr("&Copy Source"), this);
    auto* add = new QPushButton(tr("Add to Dictionary"), this);
    auto* search = new QPushButton(tr("Search Dictionary"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    ok->setDefault(true);
    ok->setToolTip(tr("Apply the translation (Ctrl+Enter)"));
    previous->setObjectName(QStringLiteral("previousItem"));
    next->setObjectName(QStringLiteral("nextItem"));
    copy->setObjectName(QStringLiteral("copySource"));
    for (QPushButton* button : {ok, previous, next, copy, add, search, cancel}) buttons->addWidget(button);
    for (QKeySequence key : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &CTranslateDlg::accept);
    connect(ok, &QPushButton::clicked, this, &CTranslateDlg::accept);
    connect(previous, &QPushButton::clicked, this, [this] { OnStep(StepPrevious); });
    connect(next, &QPushButton::clicked, this, [this] { OnStep(StepNext); });
    connect(copy, &QPushButton::clicked, this, &CTranslateDlg::OnCopySource);
    connect(add, &QPushButton::clicked, this, &CTranslateDlg::OnAddToDictionary);
    connect(search, &QPushButton::clicked, this, &CTranslateDlg::OnSearchDictionary);
    connect(cancel, &QPushButton::clicked, this, &CTranslateDlg::reject);
    return buttons;
}

// The address is known for items of the project's tree only.
QString CTranslateDlg::ItemDescription() const {
    QString kind = QString::fromUtf8(KindName(m_item.GetKind()));
    QString id = QString::number(m_item.m_nID);
    std::optional<ItemPath> path = PathOf(m_doc.Project().m_ResourceInfo, m_item);
    if (!path) return tr("Kind: %1   ID: %2").arg(kind, id);
    QString address = tr("Address: %1   Kind: %2   ID: %3").arg(QString::fromStdString(path->ToString()), kind, id);
    QString context = ItemContext();
    return context.isEmpty() ? address : address + '\n' + tr("In: %1").arg(context);
}

// The dialog or menu the item sits in, by the texts a user sees there:
// "Find" for a dialog's control, "File › Recent Files" for a menu command.
QString CTranslateDlg::ItemContext() const {
    QStringList texts;
    WalkItems(std::as_const(m_doc.Project().m_ResourceInfo), [&](const ItemVisit<const CResourceItem>& visit) {
        if (&visit.item != &m_item) return;
        for (const CResourceItem* parent : visit.parents)
            if (!parent->GetText().empty()) texts << CoreText(parent->GetText());
    });
    return texts.join(QStringLiteral(" \u203A "));
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
std::string CTranslateDlg::TranslatedText() const { return TreeTextOfTyped(m_doc, m_item, m_translated->toPlainText()); }

// The text and hotkey OK and Add to Dictionary take: a '&' typed in the text
// marks the hotkey there, over the hotkey field.
HotkeyText CTranslateDlg::Typed() const {
    return ReadTypedTranslation(m_item, TranslatedText(), m_doc.GetCodePage(), m_chNewHotkey);
}

bool CTranslateDlg::HotkeyFits(const std::string& text, std::uint16_t hotkey) const {
    return CheckManualTranslation(m_item.GetText(), text, hotkey, m_doc.GetCodePage()) != ManualResult::HotkeyNotInText;
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
// shown first; OK again on the same text keeps it. An untranslated item's
// field left empty changes nothing.
bool CTranslateDlg::Commit() {
    if (!m_item.IsTranslated() && m_translated->toPlainText().isEmpty()) return true;
    HotkeyText typed = Typed();
    std::uint16_t hotkey = typed.hotkey;
    TranslationPlan plan = PlanTranslation(m_doc, m_item, std::move(typed.text), hotkey);
    if (!plan.change) {
        ShowRefusal(CoreText(plan.change.GetError().message));
        return false;
    }
    QString stop = m_gate.Stop(m_translated->toPlainText(), hotkey, plan.findings, m_doc.GetCodePage());
    if (!stop.isEmpty()) {
        ShowRefusal(stop);
        return false;
    }
    if (!plan.change.Value().Empty()) m_doc.Apply(std::move(plan.change).Value());
    return true;
}

void CTranslateDlg::accept() {
    if (Commit()) QDialog::accept();
}

void CTranslateDlg::OnStep(Step step) {
    if (Commit()) done(step);
}

void CTranslateDlg::OnCopySource() {
    m_translated->setPlainText(CoreText(m_item.GetText()));
    m_translated->setFocus();
}

void CTranslateDlg::OnAddToDictionary() {
    auto [translated, hotkey] = Typed();
    ManualResult check = CheckManualTranslation(m_item.GetText(), translated, hotkey, m_doc.GetCodePage());
    if (check == ManualResult::HotkeyNotInText) {
        ShowRefusal(CoreText(RefusalText(check, hotkey)));
        return;
    }
    AdditionPlan plan = PlanAddToDictionary(m_doc.Project().m_Dictionary, m_item, translated, hotkey, m_confirmReplace);
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
        Status why = CheckEditedEntry(m_item.GetText(), translated, hotkey, m_item.GetKind(), m_doc.GetCodePage());
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

namespace quillon::gui {

void CTranslateDlg::ShowSuggestions(CMemoryService& memory) {
    if (m_suggestions) return;
    m_suggestions = new CSuggestionList(m_doc, memory, this);
    m_suggestions->setMaximumHeight(140);
    m_grid->addWidget(m_suggestions, 7, 0, 1, 3);
    m_suggestions->SetThreshold(CSuggestionList::SavedThreshold());
    m_suggestions->ShowItem(&m_item);
    connect(m_suggestions, &CSuggestionList::suggestionChosen, this, &CTranslateDlg::UseSuggestion);
    for (int n = 1; n <= CSuggestionList::kKeyed; ++n)
        connect(new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + n)), this),
                &QShortcut::activated, this, [this, n] { UseSuggestion(n - 1); });
    resize(width(), height() + 140);
}

bool CTranslateDlg::UseSuggestion(int index) {
    std::optional<MemoryTranslation> translation = m_suggestions ? m_suggestions->Adapted(index) : std::nullopt;
    if (!translation) return false;
    const CodePage& codePage = m_doc.GetCodePage();
    m_translated->setPlainText(CoreText(translation->text));
    m_chNewHotkey = translation->hotkey != 0 ? translation->hotkey : m_item.m_chHotkey;
    m_settingHotkey = true;
    m_transHotkey->setText(translation->hotkey != 0 ? HotkeyToQt(translation->hotkey, codePage) : QString());
    m_settingHotkey = false;
    m_translated->setFocus();
    return true;
}

} // namespace quillon::gui
