#pragma once
// Translating one item by hand: its source and hotkey, the translation and
// its hotkey (which must occur in the translation), and the dictionary.

#include <QDialog>
#include <cstdint>
#include <functional>

#include "model/ResourceItem.h"

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
    void OnAddToDictonary();
    void OnSearchDictonary();
    // Answers "replace the existing entry?"; a message box unless replaced (tests).
    std::function<bool()> m_confirmReplace;

    QPlainTextEdit* SourceEdit() const { return m_source; }
    QLineEdit* SourceHotkeyEdit() const { return m_sourceHotkey; }
    QPlainTextEdit* TranslatedEdit() const { return m_translated; }
    QLineEdit* TransHotkeyEdit() const { return m_transHotkey; }
    std::uint16_t NewHotkey() const { return m_chNewHotkey; }

signals:
    void dictionaryChanged();

private:
    void BuildLayout();
    void OnUpdateTransHotkey(const QString& text);
    std::string TranslatedText() const;
    bool Contains(const std::string& text, std::uint16_t hotkey) const;

    CResourceItem& m_item;
    CQuillonDoc& m_doc;
    QPlainTextEdit* m_source;
    QLineEdit* m_sourceHotkey;
    QPlainTextEdit* m_translated;
    QLineEdit* m_transHotkey;
    std::uint16_t m_chNewHotkey;
    bool m_settingHotkey = false;
};

} // namespace quillon::gui
