#pragma once
// Translating one item by hand: its source and hotkey, the translation and
// its hotkey, and the dictionary. What may be applied is the core's
// CheckManualTranslation; its refusals are shown in words under the fields.

#include <QDialog>
#include <cstdint>
#include <functional>

#include "model/ResourceItem.h"
#include "ui/EditGate.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quillon::gui {

class CQuillonDoc;

class CTranslateDlg : public QDialog {
    Q_OBJECT
public:
    CTranslateDlg(CResourceItem& item, CQuillonDoc& doc, QWidget* parent = nullptr);

    void accept() override;
    void OnAddToDictionary();
    void OnSearchDictionary();
    // Answers "replace the existing entry?"; a message box unless replaced (tests).
    std::function<bool()> m_confirmReplace;

    QPlainTextEdit* SourceEdit() const { return m_source; }
    QLineEdit* SourceHotkeyEdit() const { return m_sourceHotkey; }
    QPlainTextEdit* TranslatedEdit() const { return m_translated; }
    QLineEdit* TransHotkeyEdit() const { return m_transHotkey; }
    // Why the last hotkey, OK or dictionary entry was refused; empty otherwise.
    QLabel* RefusalLabel() const { return m_refusal; }
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
    void ShowPrevious();
    void OnUpdateTransHotkey(const QString& text);
    std::string TranslatedText() const;
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
    QGroupBox* m_previous;
    QLineEdit* m_previousSource;
    QLineEdit* m_previousTranslation;
    std::uint16_t m_chNewHotkey;
    bool m_settingHotkey = false;
    CEditGate m_gate;
};

} // namespace quillon::gui
