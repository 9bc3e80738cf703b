#pragma once
// The New Project dialog and the Settings dialog, one layout: project file,
// module, dictionary (and in Settings the target file), translator and
// e-mail, target language, and the module's source language and file version.

#include <QDialog>

#include <cstdint>
#include <optional>

#include "dictionary/Dictionary.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillon::gui {

class CQuillonDoc;

class CNewProjectDlg : public QDialog {
    Q_OBJECT
public:
    explicit CNewProjectDlg(QWidget* parent = nullptr);

    QString ProjectPath() const;
    QString ModulePath() const;
    QString DictionaryPath() const;
    QString Translator() const;
    QString EMail() const;
    // The chosen language with sub-language 1 (German 0x0407); 0 before OK.
    std::uint16_t TargetLanguage() const { return m_wTargetLang; }

    // What the module's browse button does once a file is chosen: reads the
    // module's version and language and offers every other language, or
    // shows why the file is no module. A path that names no file is ignored.
    void SetModule(const QString& path);
    // The first failing check's message, or an empty string.
    QString Validate() const;
    void accept() override;

    QLineEdit* ProjectEdit() const { return m_project; }
    QLineEdit* ModuleEdit() const { return m_module; }
    QLineEdit* DictionaryEdit() const { return m_dictionary; }
    QLineEdit* TranslatorEdit() const { return m_translator; }
    QLineEdit* EMailEdit() const { return m_email; }
    QComboBox* LanguageList() const { return m_language; }
    QLabel* SourceLanguageLabel() const { return m_sourceLanguage; }
    QLabel* VersionLabel() const { return m_version; }
    // Why the module cannot be read, or why OK was refused; hidden when empty.
    QLabel* ProblemLabel() const { return m_problem; }

protected:
    // `targetRow`: a row for the target file below the dictionary's.
    CNewProjectDlg(QWidget* parent, bool targetRow);
    void BuildLayout();
    // Fills the list with every table language except `sourceLanguage`'s,
    // sorted by name, each carrying its table row index.
    void FillLanguages(std::uint16_t sourceLanguage);
    void ShowSourceLanguage(std::uint16_t language);
    void ShowVersion(std::uint32_t ms, std::uint32_t ls);
    void ShowProblem(const QString& text);
    virtual void BrowseProject();
    void BrowseModule();
    void BrowseDictionary();
    // The table row of the chosen language, or -1 without a choice.
    int SelectedRow() const;

    QLineEdit* m_project;
    QPushButton* m_projectBrowse;
    QLineEdit* m_module;
    QPushButton* m_moduleBrowse;
    QLineEdit* m_dictionary;
    QPushButton* m_dictionaryBrowse;
    QLineEdit* m_target = nullptr;        // Settings only
    QPushButton* m_targetBrowse = nullptr; // Settings only
    QLineEdit* m_translator;
    QLineEdit* m_email;
    QComboBox* m_language;
    QLabel* m_sourceLanguage;
    QLabel* m_version;
    QLabel* m_problem;
    std::uint16_t m_wTargetLang = 0;

private:
    // True when the project file may be written: it does not exist, it was
    // chosen in the save dialog (which asked already), or the user agrees.
    bool ConfirmReplace();
    // Reads the module the edit names, typed, pasted or browsed to: a
    // readable module fills the language list, any other file shows core's
    // reason and leaves the list off. Nothing happens while the text names
    // no file, or the file just read.
    void ReadModule(const QString& path);

    QString m_strChosenProject; // the save dialog's last answer
    QString m_strReadModule;    // the path ReadModule last looked at
    QString m_strModuleRefusal; // why that file is no module; empty for a module
};

// The open project's settings; OK stores the dictionary and target paths,
// translator, e-mail and (after a confirmation) a new target language into
// the project, as one change the document can take back.
class CSettingsDlg : public CNewProjectDlg {
    Q_OBJECT
public:
    CSettingsDlg(CQuillonDoc& doc, QWidget* parent = nullptr);
    void accept() override;
    // Stores the edits; false when the target path is refused or the user
    // declined a language change.
    bool Apply(bool confirmLanguageChange);

    QString TargetPath() const;
    QLineEdit* TargetEdit() const { return m_target; }
    // Why core refuses the target path typed in; empty when it takes it
    // (or it is empty: the first build asks for one).
    QString TargetRefusal() const;

private:
    void BrowseTarget();
    void LockProjectFiles();
    void ShowProject();
    void SelectLanguage(std::uint16_t language);
    bool ConfirmLanguageChange();
    // Stores dictionary and target paths, translator and e-mail; true when one changed.
    bool StoreTexts();
    // Reads the dictionary file named in the dialog when it is another file
    // than the project's and exists; false (after saying why) when it cannot
    // be read.
    bool ReadChosenDictionary(std::optional<CDictonary>& chosen);
    void ChangeTargetLanguage(std::uint16_t language);

    CQuillonDoc& m_doc;
    int m_nShownRow = -1; // the row of the project's target language
};

} // namespace quillon::gui
