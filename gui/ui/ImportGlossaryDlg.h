#pragma once
// Importing a glossary into the project's dictionary: choose the file, Start
// runs the import with a progress bar and counters, lists the lines it left
// out and why (or why the file was refused), and the same button then reads
// OK and closes. Cancel during the import stops it and imports nothing.

#include <QDialog>
#include <cstdint>
#include <span>

#include "dictionary/GlossaryImport.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace quillon::gui {

class CQuillonDoc;

class CImportGlossaryDlg : public QDialog {
    Q_OBJECT
public:
    CImportGlossaryDlg(CQuillonDoc& doc, GlossaryFormat format, QWidget* parent = nullptr);

    void SetPath(const QString& path);
    // Start: imports once; pressed again (now "OK") it closes the dialog.
    void OnStart();
    bool Done() const { return m_bDone; }
    const GlossaryReport& Report() const { return m_report; }
    QLabel* EntriesLabel() const { return m_entries; }
    QLabel* ImportedLabel() const { return m_imported; }
    // Hidden until an import skipped lines or refused the file.
    QPlainTextEdit* DetailsText() const { return m_details; }
    QPushButton* StartButton() const { return m_start; }
    void reject() override;

private:
    Result<GlossaryReport> Import(std::span<const std::uint8_t> bytes);
    void Browse();
    void ShowDetails(const QString& text);

    CQuillonDoc& m_doc;
    GlossaryFormat m_format;
    QLineEdit* m_path;
    QLabel* m_entries;
    QLabel* m_imported;
    QProgressBar* m_progress;
    QPlainTextEdit* m_details;
    QPushButton* m_start;
    QPushButton* m_browse;
    bool m_bDone = false;
    bool m_importing = false;
    bool m_stopRequested = false;
    GlossaryReport m_report;
};

} // namespace quillon::gui
