#pragma once
// Translating one item by hand: its address, kind and ID, its source and
// hotkey, the translation and its hotkey, and the dictionary. What may be
// applied is the core's CheckManualTranslation; its refusals are shown in
// words under the fields. Previous and Next apply as OK does and end the
// dialog with StepPrevious or StepNext, so the window opens it on the
// neighbouring item.

#include <QDialog>
#include <cstdint>
#include <functional>

#include "extract/TextRules.h"
#include "model/ResourceItem.h"
#include "ui/EditGate.h"

class QGridLayout;
class QGroupBox;
class QLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quillon::gui {

class CMemoryService;
class CQuillonDoc;
class CSuggestionList;

class CTranslateDlg : public QDialog {
    Q_OBJECT
public:
    // Results of exec() besides Accepted and Rejected.
    enum Step { StepPrevious = 2, StepNext = 3 };

    CTranslateDlg(CResourceItem& item, CQuillonDoc& doc, QWidget* parent = nullptr);

    void accept() override;
    // Applies what OK applies, then ends with StepPrevious or StepNext.
    void OnStep(Step step);
    // The source as the translation, to confirm it or to edit it.
    void OnCopySource();
    void OnAddToDictionary();
    void OnSearchDictionary();
    // Shows the memory's matches under the fields; Ctrl+1 to Ctrl+9 put
    // match N, fitted to the item, into the translation field.
    void ShowSuggestions(CMemoryService& memory);
    // Puts suggestion `index` (0 for Ctrl+1) into the fields; false when there is none.
    bool UseSuggestion(int index);
    CSuggestionList* Suggestions() const { return m_suggestions; }
    // Answers "replace the existing entry?"; a message box unless replaced (tests).
    std::function<bool()> m_confirmReplace;

    QPlainTextEdit* SourceEdit() const { return m_source; }
    QLineEdit* SourceHotkeyEdit() const { return m_sourceHotkey; }
    QPlainTextEdit* TranslatedEdit() const { return m_translated; }
    QLineEdit* TransHotkeyEdit() const { return m_transHotkey; }
    // Why the last hotkey, OK or dictionary entry was refused; empty otherwise.
    QLabel* RefusalLabel() const { return m_refusal; }
    // "Address: menus/1/-1/101   Kind: MENUITEM   ID: 101"
    QLabel* ItemLabel() const { return m_itemLabel; }
    std::uint16_t NewHotkey() const { return m_chNewHotkey; }
    // "Before the last update:": what an item the last update changed held
    // then; hidden for every other item.
    QGroupBox* PreviousGroup() const { return m_previous; }
    QLineEdit* PreviousSourceEdit() const { return m_previousSource; }
    QLineEdit* PreviousTranslationEdit() const { return m_previousTranslation; }

signals:
    void dictionaryChanged();

private:
    void BuildLayout();
    QLayout* BuildButtons();
    QString ItemDescription() const;
    QString ItemContext() const;
    // Applies the typed translation; false (with the reason shown) when the
    // core refuses it or the checks' errors are shown first.
    bool Commit();
    void ShowPrevious();
    void OnUpdateTransHotkey(const QString& text);
    std::string TranslatedText() const;
    HotkeyText Typed() const;
    // True when the core takes `hotkey` for `text`.
    bool HotkeyFits(const std::string& text, std::uint16_t hotkey) const;
    // Shows a refusal in the label, with a beep; empty clears it.
    void ShowRefusal(const QString& text);
    // A text of the core (in the project's code page) for the user.
    QString CoreText(const std::string& text) const;

    CResourceItem& m_item;
    CQuillonDoc& m_doc;
    QPlainTextEdit* m_source;
    QLineEdit* m_sourceHotkey;
    QPlainTextEdit* m_translated;
    QLineEdit* m_transHotkey;
    QLabel* m_refusal;
    QLabel* m_itemLabel;
    QGroupBox* m_previous;
    QLineEdit* m_previousSource;
    QLineEdit* m_previousTranslation;
    std::uint16_t m_chNewHotkey;
    bool m_settingHotkey = false;
    CEditGate m_gate;
    QGridLayout* m_grid = nullptr;
    CSuggestionList* m_suggestions = nullptr;
};

} // namespace quillon::gui
