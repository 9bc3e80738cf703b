#include "ui/NewProjectDialog.h"

#include "controls/FileDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "extract/FileVersion.h"
#include "extract/Languages.h"
#include "pe/ResourceModule.h"
#include "project/NewProject.h"
#include "ui/QuillonDoc.h"
#include "controls/TextBridge.h"

namespace quillon::gui {

namespace {

// The captions are translated where they are shown.
const char* const kNewProjectCaption = QT_TRANSLATE_NOOP("quillon::gui::CNewProjectDlg", "New Project");
const char* const kSettingsCaption = QT_TRANSLATE_NOOP("quillon::gui::CNewProjectDlg", "Settings");

QString Caption(const char* caption) { return CNewProjectDlg::tr(caption); }

// Grid columns: label, edit, second label, second edit, browse button. The
// file rows stretch their edit over the middle three so all edits line up.
constexpr int kLabelColumn = 0;
constexpr int kEditColumn = 1;
constexpr int kSecondLabelColumn = 2;
constexpr int kSecondEditColumn = 3;
constexpr int kBrowseColumn = 4;
constexpr int kColumns = 5;

struct FileDialogSetup {
    const char* caption;
    const char* filter;
    QFileDialog::AcceptMode acceptMode;
    QFileDialog::FileMode fileMode;
    const char* defaultSuffix;
};

QLabel* NewLabel(const char* text, QWidget* parent) {
    auto* label = new QLabel(CNewProjectDlg::tr(text), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QFrame* NewSunkenLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QPushButton* NewBrowseButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QString::fromLatin1(name));
    // A full-width push button would dwarf the three dots.
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    return button;
}

QLineEdit* NewEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

void AddFileRow(QGridLayout* grid, int row, const char* text, QLineEdit* edit, QPushButton* browse) {
    QWidget* parent = grid->parentWidget();
    grid->addWidget(NewLabel(text, parent), row, kLabelColumn);
    grid->addWidget(edit, row, kEditColumn, 1, kBrowseColumn - kEditColumn);
    grid->addWidget(browse, row, kBrowseColumn);
}

void AddValueRow(QGridLayout* grid, int row, const char* text, QWidget* value) {
    grid->addWidget(NewLabel(text, grid->parentWidget()), row, kLabelColumn);
    grid->addWidget(value, row, kEditColumn, 1, kColumns - kEditColumn);
}

// OK on the left and Cancel on the right whatever the platform's button order.
QHBoxLayout* NewButtonRow(QDialog* dialog) {
    auto* ok = new QPushButton(QCoreApplication::translate("quillon::gui::CNewProjectDlg", "OK"), dialog);
    auto* cancel = new QPushButton(QCoreApplication::translate("quillon::gui::CNewProjectDlg", "Cancel"), dialog);
    ok->setObjectName(QStringLiteral("ok"));
    cancel->setObjectName(QStringLiteral("cancel"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QString ChooseFile(QWidget* parent, const FileDialogSetup& setup, const QString& current) {
    // The places bar and the module preview come with our own file dialog.
    QString caption = CNewProjectDlg::tr(setup.caption);
    QString filter = CNewProjectDlg::tr(setup.filter);
    QString suffix = QString::fromLatin1(setup.defaultSuffix);
    if (setup.acceptMode == QFileDialog::AcceptSave)
        return CFileDialog::GetSaveFileName(parent, caption, filter, suffix, current);
    if (setup.fileMode == QFileDialog::ExistingFile) return CFileDialog::GetOpenFileName(parent, caption, filter, current);
    return CFileDialog::GetNewOrExistingFileName(parent, caption, filter, suffix, current);
}

// Table rows whose primary language differs from the module's, by English
// name. Croatian and Serbian share a primary language and both stay or go.
std::vector<std::size_t> OfferedRows(std::uint16_t sourceLanguage) {
    auto rows = LanguageRows();
    std::vector<std::size_t> offered;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].id != PrimaryLanguage(sourceLanguage)) offered.push_back(i);
    std::sort(offered.begin(), offered.end(),
              [&](std::size_t a, std::size_t b) { return std::strcmp(rows[a].label, rows[b].label) < 0; });
    return offered;
}

} // namespace

// ---------------------------------------------------------------------------
// CNewProjectDlg

CNewProjectDlg::CNewProjectDlg(QWidget* parent) : CNewProjectDlg(parent, false) {}

CNewProjectDlg::CNewProjectDlg(QWidget* parent, bool targetRow)
    : QDialog(parent), m_project(NewEdit(this, "projectEdit")), m_projectBrowse(NewBrowseButton(this, "projectBrowse")),
      m_module(NewEdit(this, "moduleEdit")), m_moduleBrowse(NewBrowseButton(this, "moduleBrowse")),
      m_dictionary(NewEdit(this, "dictionaryEdit")), m_dictionaryBrowse(NewBrowseButton(this, "dictionaryBrowse")),
      m_target(targetRow ? NewEdit(this, "targetEdit") : nullptr),
      m_targetBrowse(targetRow ? NewBrowseButton(this, "targetBrowse") : nullptr),
      m_translator(NewEdit(this, "translatorEdit")), m_email(NewEdit(this, "emailEdit")), m_language(new QComboBox(this)),
      m_sourceLanguage(new QLabel(this)), m_version(new QLabel(this)), m_problem(new QLabel(this)) {
    setWindowTitle(Caption(kNewProjectCaption));
    m_language->setObjectName(QStringLiteral("languageList"));
    m_sourceLanguage->setObjectName(QStringLiteral("sourceLanguage"));
    m_version->setObjectName(QStringLiteral("version"));
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette warning = m_problem->palette();
    warning.setColor(QPalette::WindowText, QColor(180, 0, 0));
    m_problem->setPalette(warning);
    m_problem->hide();
    BuildLayout();
    // Nothing to offer until a module tells its own language.
    m_language->setEnabled(false);
    // Settings shows the project's module, which is not chosen again.
    if (!targetRow) connect(m_module, &QLineEdit::textChanged, this, &CNewProjectDlg::ReadModule);
    connect(m_projectBrowse, &QPushButton::clicked, this, &CNewProjectDlg::BrowseProject);
    connect(m_moduleBrowse, &QPushButton::clicked, this, &CNewProjectDlg::BrowseModule);
    connect(m_dictionaryBrowse, &QPushButton::clicked, this, &CNewProjectDlg::BrowseDictionary);
}

QString CNewProjectDlg::ProjectPath() const { return m_project->text(); }
QString CNewProjectDlg::ModulePath() const { return m_module->text(); }
QString CNewProjectDlg::DictionaryPath() const { return m_dictionary->text(); }
QString CNewProjectDlg::Translator() const { return m_translator->text(); }
QString CNewProjectDlg::EMail() const { return m_email->text(); }

void CNewProjectDlg::BuildLayout() {
    auto* grid = new QGridLayout(this);
    int row = 0;
    AddFileRow(grid, row++, QT_TR_NOOP("Project File"), m_project, m_projectBrowse);
    AddFileRow(grid, row++, QT_TR_NOOP("Translate File"), m_module, m_moduleBrowse);
    AddFileRow(grid, row++, QT_TR_NOOP("Dictionary File"), m_dictionary, m_dictionaryBrowse);
    if (m_target) AddFileRow(grid, row++, QT_TR_NOOP("Target File"), m_target, m_targetBrowse);
    grid->addWidget(NewLabel(QT_TR_NOOP("Translator:"), this), row, kLabelColumn);
    grid->addWidget(m_translator, row, kEditColumn);
    grid->addWidget(NewLabel(QT_TR_NOOP("E-Mail:"), this), row, kSecondLabelColumn);
    grid->addWidget(m_email, row++, kSecondEditColumn, 1, kColumns - kSecondEditColumn);
    AddValueRow(grid, row++, QT_TR_NOOP("Target Language:"), m_language);
    grid->addWidget(NewSunkenLine(this), row++, 0, 1, kColumns);
    AddValueRow(grid, row++, QT_TR_NOOP("Source Language:"), m_sourceLanguage);
    AddValueRow(grid, row++, QT_TR_NOOP("Version:"), m_version);
    grid->addWidget(m_problem, row++, 0, 1, kColumns);
    grid->addWidget(NewSunkenLine(this), row++, 0, 1, kColumns);
    grid->addLayout(NewButtonRow(this), row, 0, 1, kColumns);
    grid->setColumnStretch(kEditColumn, 1);
    grid->setColumnStretch(kSecondEditColumn, 1);
    // Room for a typical path without scrolling the edits.
    setMinimumWidth(fontMetrics().averageCharWidth() * 72);

    std::vector<QWidget*> order{m_project, m_projectBrowse, m_module, m_moduleBrowse, m_dictionary, m_dictionaryBrowse};
    if (m_target) order.insert(order.end(), {m_target, m_targetBrowse});
    order.insert(order.end(), {m_translator, m_email, m_language, findChild<QPushButton*>(QStringLiteral("ok")),
                               findChild<QPushButton*>(QStringLiteral("cancel"))});
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void CNewProjectDlg::FillLanguages(std::uint16_t sourceLanguage) {
    auto rows = LanguageRows();
    m_language->clear();
    for (std::size_t row : OfferedRows(sourceLanguage))
        m_language->addItem(QString::fromLatin1(rows[row].label), static_cast<int>(row));
    // A drop-down list starts without a choice, so that OK insists on one.
    m_language->setCurrentIndex(-1);
}

void CNewProjectDlg::ShowSourceLanguage(std::uint16_t language) {
    std::string name = LanguageName(language);
    if (!name.empty()) m_sourceLanguage->setText(QString::fromStdString(name));
}

void CNewProjectDlg::ShowVersion(std::uint32_t ms, std::uint32_t ls) {
    m_version->setText(QString::asprintf("%d.%d.%d.%d", static_cast<int>(ms >> 16), static_cast<int>(ms & 0xFFFF),
                                         static_cast<int>(ls >> 16), static_cast<int>(ls & 0xFFFF)));
}

int CNewProjectDlg::SelectedRow() const {
    if (m_language->currentIndex() < 0) return -1;
    bool ok = false;
    int row = m_language->currentData().toInt(&ok);
    return ok && row >= 0 && static_cast<std::size_t>(row) < LanguageRows().size() ? row : -1;
}

void CNewProjectDlg::ShowProblem(const QString& text) {
    m_problem->setText(text);
    m_problem->setVisible(!text.isEmpty());
}

void CNewProjectDlg::SetModule(const QString& path) {
    if (!QFileInfo(path).isFile()) return;
    m_module->setText(path);
    ReadModule(path);
}

void CNewProjectDlg::ReadModule(const QString& path) {
    if (path == m_strReadModule) return;
    m_strReadModule = path;
    m_strModuleRefusal.clear();
    m_sourceLanguage->clear();
    m_version->clear();
    m_language->clear();
    m_language->setEnabled(false);
    ShowProblem({});
    if (!QFileInfo(path).isFile()) return;
    // The scan opens the module the same way; what it refuses, it refuses here.
    auto module = ResourceModule::Open(path.toStdString());
    if (!module) {
        m_strModuleRefusal = QString::fromStdString(module.GetError().Describe());
        ShowProblem(m_strModuleRefusal);
        return;
    }
    // The language the scan will read (declared, or the one most resources
    // are in); a module without a version resource has version 0.0.0.0.
    std::uint16_t language = module.Value().Language();
    auto version = ReadModuleVersion(module.Value(), CodePage(kCodePageUtf8));
    ShowSourceLanguage(language);
    FillLanguages(language);
    m_language->setEnabled(true);
    ShowVersion(version ? version.Value().fileVersionMS : 0, version ? version.Value().fileVersionLS : 0);
}

void CNewProjectDlg::BrowseProject() {
    static constexpr FileDialogSetup kSetup{QT_TR_NOOP("Project File"),
                                            QT_TR_NOOP("Project Files (*.prj);;All Files (*)"),
                                            QFileDialog::AcceptSave, QFileDialog::AnyFile, "prj"};
    QString path = ChooseFile(this, kSetup, ProjectPath());
    if (path.isEmpty()) return;
    m_project->setText(path);
    m_strChosenProject = path;
}

void CNewProjectDlg::BrowseModule() {
    static constexpr FileDialogSetup kSetup{QT_TR_NOOP("Translate File"),
                                            QT_TR_NOOP("Executable Files (*.dll *.exe);;All Files (*)"),
                                            QFileDialog::AcceptOpen, QFileDialog::ExistingFile, ""};
    QString path = ChooseFile(this, kSetup, ModulePath());
    if (!path.isEmpty()) SetModule(path);
}

void CNewProjectDlg::BrowseDictionary() {
    // A dictionary that does not exist yet is created when the project is saved.
    static constexpr FileDialogSetup kSetup{QT_TR_NOOP("Dictionary File"), QT_TR_NOOP("Dictionary Files (*.dic)"),
                                            QFileDialog::AcceptOpen, QFileDialog::AnyFile, "dic"};
    QString path = ChooseFile(this, kSetup, DictionaryPath());
    if (!path.isEmpty()) m_dictionary->setText(path);
}

QString CNewProjectDlg::Validate() const {
    if (ProjectPath().isEmpty()) return tr("You need to enter Name for the Project File.");
    if (!QFileInfo(ModulePath()).isFile()) return tr("You need to enter a valid Path for the File to Translate.");
    if (!m_strModuleRefusal.isEmpty()) return m_strModuleRefusal;
    if (Translator().isEmpty()) return tr("You need to enter the Translators Name.");
    if (SelectedRow() < 0) return tr("You need to select the target language.");
    return {};
}

bool CNewProjectDlg::ConfirmReplace() {
    QString path = QString::fromStdString(ProjectPathWithExtension(ProjectPath().toStdString()));
    if (path == m_strChosenProject || !QFileInfo::exists(path)) return true;
    QString question = tr("%1 already exists.\nDo you want to replace it?").arg(path);
    // Replacing loses the file: Enter must not say yes to it.
    return QMessageBox::question(this, Caption(kNewProjectCaption), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void CNewProjectDlg::accept() {
    // The refusal is shown in the dialog, which stays open with everything typed.
    QString message = Validate();
    ShowProblem(message);
    if (!message.isEmpty()) return;
    if (!ConfirmReplace()) return;
    m_wTargetLang = TargetLanguageId(LanguageRows()[static_cast<std::size_t>(SelectedRow())].id);
    QDialog::accept();
}

// ---------------------------------------------------------------------------
// CSettingsDlg

CSettingsDlg::CSettingsDlg(CQuillonDoc& doc, QWidget* parent) : CNewProjectDlg(parent, true), m_doc(doc) {
    setWindowTitle(Caption(kSettingsCaption));
    LockProjectFiles();
    ShowProject();
    connect(m_targetBrowse, &QPushButton::clicked, this, &CSettingsDlg::BrowseTarget);
}

QString CSettingsDlg::TargetPath() const { return m_target->text(); }

QString CSettingsDlg::TargetRefusal() const {
    const CProject& project = m_doc.Project();
    std::string target = TargetPath().toStdString();
    // The stored path is not asked about again: it was taken when it was set.
    if (target.empty() || target == project.m_strTargetPath) return {};
    Status usable = CheckTargetPath(project, m_doc.PathName().toStdString(), target);
    return usable ? QString() : QString::fromStdString(usable.GetError().Describe());
}

void CSettingsDlg::BrowseTarget() {
    // The target is written over at every build, so the save dialog asks
    // before an existing file is chosen. A name typed without a suffix gets
    // the module's.
    QString path = CFileDialog::GetSaveFileName(this, tr("Target File"),
                                                tr("Executable Files (*.dll *.exe);;All Files (*)"),
                                                QFileInfo(ModulePath()).suffix(), TargetPath());
    if (!path.isEmpty()) m_target->setText(path);
}

// The project file and its module are what the project is; changing them is
// a new project or an update, not a setting.
void CSettingsDlg::LockProjectFiles() {
    m_project->setReadOnly(true);
    m_projectBrowse->setEnabled(false);
    m_module->setReadOnly(true);
    m_moduleBrowse->setEnabled(false);
}

void CSettingsDlg::ShowProject() {
    const CProject& project = m_doc.Project();
    const CodePage& codePage = m_doc.GetCodePage();
    m_project->setText(m_doc.PathName());
    m_module->setText(QString::fromStdString(project.m_strModulePath));
    m_dictionary->setText(QString::fromStdString(project.m_strDictionaryPath));
    m_target->setText(QString::fromStdString(project.m_strTargetPath));
    m_translator->setText(ToQt(project.m_strTranslator, codePage));
    m_email->setText(ToQt(project.m_strEMail, codePage));
    const CResourceInfo& info = project.m_ResourceInfo;
    ShowSourceLanguage(info.m_wLanguage);
    FillLanguages(info.m_wLanguage);
    m_language->setEnabled(true);
    SelectLanguage(project.m_wTargetLanguage);
    ShowVersion(info.m_dwFileVersionMS, info.m_dwFileVersionLS);
}

void CSettingsDlg::SelectLanguage(std::uint16_t language) {
    // The name, not the primary identifier, tells Croatian from Serbian.
    QString name = QString::fromStdString(LanguageName(language));
    m_language->setCurrentIndex(name.isEmpty() ? -1 : m_language->findText(name));
    m_nShownRow = SelectedRow();
}

bool CSettingsDlg::ConfirmLanguageChange() {
    const QString question = tr(
        "Changing the target language also changes the language written into the version resource and the code "
        "page of the project's texts. Change it?");
    return QMessageBox::question(this, Caption(kSettingsCaption), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool CSettingsDlg::StoreTexts() {
    CProject& project = m_doc.Project();
    const CodePage& codePage = m_doc.GetCodePage();
    bool changed = false;
    auto store = [&](std::string& field, const QString& text) {
        std::string bytes = FromQt(text, codePage);
        if (bytes == field) return;
        field = std::move(bytes);
        changed = true;
    };
    // Paths are the file system's UTF-8; names are texts of the project.
    auto storePath = [&](std::string& field, const QString& path) {
        if (path.toStdString() == field) return;
        field = path.toStdString();
        changed = true;
    };
    storePath(project.m_strDictionaryPath, DictionaryPath());
    storePath(project.m_strTargetPath, TargetPath());
    store(project.m_strTranslator, Translator());
    store(project.m_strEMail, EMail());
    if (changed) RefreshTranslatorValues(project);
    return changed;
}

void CSettingsDlg::ChangeTargetLanguage(std::uint16_t language) {
    CProject& project = m_doc.Project();
    project.m_wTargetLanguage = language;
    // The same retargeting as a new project's (core's RetargetVersion).
    RetargetVersion(project.m_ResourceInfo.m_VersionInfo.m_Root, language);
    // Without a code-page override the project's code page now follows the
    // new language, yet the tree's texts and the dictionary stay the bytes
    // they are: converting them would turn every character the new code page
    // lacks into '?' for good, while bytes can still be read back.
}

bool CSettingsDlg::ReadChosenDictionary(std::optional<CDictonary>& chosen) {
    const std::string path = DictionaryPath().toStdString();
    if (path == m_doc.Project().m_strDictionaryPath) return true;
    const std::string file = CProject::FileBeside(m_doc.PathName().toStdString(), path);
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(file, error)) return true;
    CDictonary dictionary;
    if (auto read = dictionary.Load(file); !read) {
        QMessageBox::critical(this, Caption(kSettingsCaption),
                              tr("Cannot read the dictionary %1:\n%2")
                                  .arg(DictionaryPath(), QString::fromStdString(read.GetError().Describe())));
        return false;
    }
    chosen = std::move(dictionary);
    return true;
}

bool CSettingsDlg::Apply(bool confirmLanguageChange) {
    if (!TargetRefusal().isEmpty()) return false;
    const int row = SelectedRow();
    const bool languageChanged = row >= 0 && row != m_nShownRow;
    if (languageChanged && confirmLanguageChange && !ConfirmLanguageChange()) return false;
    // A dictionary file chosen here that exists is the one the project uses
    // from now on, as Open Dictionary makes it: saving the project would
    // otherwise write the project's entries over it.
    std::optional<CDictonary> chosen;
    if (!ReadChosenDictionary(chosen)) return false;
    CProject& project = m_doc.Project();
    ProjectSettings settingsBefore = SettingsOf(project);
    // The version resource is rewritten on a copy: the document keeps the
    // blocks themselves for Undo, since earlier changes point at them.
    CVersionInfo versionBefore = std::move(project.m_ResourceInfo.m_VersionInfo);
    project.m_ResourceInfo.m_VersionInfo = CVersionInfo(versionBefore);
    bool changed = false;
    if (languageChanged) {
        ChangeTargetLanguage(TargetLanguageId(LanguageRows()[static_cast<std::size_t>(row)].id));
        m_nShownRow = row;
        changed = true;
    }
    // After the language change, so the texts the user sees are stored in the
    // code page the project reads them with from now on.
    changed = StoreTexts() || changed;
    m_wTargetLang = project.m_wTargetLanguage;
    if (!changed) {
        project.m_ResourceInfo.m_VersionInfo = std::move(versionBefore);
        return true;
    }
    ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Settings"));
    change.ChangeSettings(settingsBefore, SettingsOf(project));
    change.ExchangeVersionInfo(std::move(versionBefore));
    if (chosen) {
        std::swap(project.m_Dictionary, *chosen);
        change.ExchangeDictionary(std::move(*chosen)); // the dictionary before, for Undo
    }
    m_doc.Record(std::move(change));
    return true;
}

void CSettingsDlg::accept() {
    if (QString refusal = TargetRefusal(); !refusal.isEmpty()) {
        QMessageBox::critical(this, Caption(kSettingsCaption), refusal);
        return;
    }
    if (Apply(true)) QDialog::accept();
}

} // namespace quillon::gui
