#include "ui/ImportGlossaryDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "io/FileIo.h"
#include "ui/QuillonDoc.h"

namespace quillon::gui {

namespace {

// Drives the dialog's bar from the import, which steps once per line, and
// asks the import to stop once the user cancelled.
class BarProgress : public IProgress {
public:
    BarProgress(QProgressBar& bar, const bool& stop) : m_bar(bar), m_stop(stop) {}
    void Show(std::string_view, std::uint32_t range) override {
        m_bar.setRange(0, static_cast<int>(std::min<std::uint32_t>(range, INT32_MAX / 10)) * 10);
        m_bar.setValue(0);
        m_bar.show();
    }
    // A file of millions of short lines steps millions of times: the bar and
    // the window are brought up to date a few times a second, not per line.
    // The dialog is modal and its other buttons are off, so the user's input
    // can only reach Cancel.
    void Step() override {
        if (++m_steps % 1024 != 0 || (m_shown.isValid() && m_shown.elapsed() < 50)) return;
        m_shown.start();
        m_bar.setValue(static_cast<int>(std::min<std::uint64_t>(std::uint64_t{m_steps} * 10, m_bar.maximum())));
        QApplication::processEvents();
    }
    void Hide() override { m_bar.hide(); }
    bool StopRequested() const override { return m_stop; }

private:
    QProgressBar& m_bar;
    const bool& m_stop;
    std::uint32_t m_steps = 0;
    QElapsedTimer m_shown;
};

} // namespace

CImportGlossaryDlg::CImportGlossaryDlg(CQuillonDoc& doc, GlossaryFormat format, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_format(format), m_path(new QLineEdit(this)), m_entries(new QLabel("0", this)),
      m_imported(new QLabel("0", this)), m_progress(new QProgressBar(this)),
      m_details(new QPlainTextEdit(this)), m_start(new QPushButton(tr("Start"), this)),
      m_browse(new QPushButton("...", this)) {
    setWindowTitle(tr("Import Dictionary"));
    m_path->setReadOnly(true);
    m_path->setMinimumWidth(320);
    m_browse->setFixedWidth(32);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_details->setReadOnly(true);
    m_details->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_details->hide();
    m_start->setDefault(true);
    m_start->setEnabled(false);
    for (QLabel* counter : {m_entries, m_imported}) counter->setAlignment(Qt::AlignCenter);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Glossary:"), this), 0, 0);
    grid->addWidget(m_path, 0, 1, 1, 2);
    grid->addWidget(m_browse, 0, 3);
    grid->addWidget(new QLabel(tr("Entries:"), this), 1, 0);
    grid->addWidget(m_entries, 1, 1);
    grid->addWidget(new QLabel(tr("Imported:"), this), 2, 0);
    grid->addWidget(m_imported, 2, 1);
    grid->addWidget(m_progress, 3, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addStretch();
    buttons->addWidget(cancel);
    grid->addWidget(m_details, 4, 0, 1, 4);
    grid->addLayout(buttons, 5, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    connect(m_browse, &QPushButton::clicked, this, &CImportGlossaryDlg::Browse);
    connect(m_start, &QPushButton::clicked, this, &CImportGlossaryDlg::OnStart);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CImportGlossaryDlg::Browse() {
    QFileDialog dialog(this, windowTitle(), QString(), tr("Glossaries (*.txt *.csv *.tab);;All Files (*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted) SetPath(dialog.selectedFiles().value(0));
}

void CImportGlossaryDlg::SetPath(const QString& path) {
    m_path->setText(path);
    m_start->setEnabled(!path.isEmpty() && !m_bDone);
}

// While the import runs, Cancel, Escape and closing the window stop it.
void CImportGlossaryDlg::reject() {
    if (m_importing) m_stopRequested = true;
    else QDialog::reject();
}

// A cancelled import puts the dictionary back as it was: all or nothing.
Result<GlossaryReport> CImportGlossaryDlg::Import(std::span<const std::uint8_t> bytes) {
    m_importing = true;
    m_stopRequested = false;
    for (QPushButton* button : {m_start, m_browse}) button->setEnabled(false);
    BarProgress progress(*m_progress, m_stopRequested);
    ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Import Glossary"));
    change.ExchangeDictionary(m_doc.Project().m_Dictionary.Clone());
    auto report = ImportGlossary(bytes, m_format, m_doc.Project().m_Dictionary, m_doc.GetCodePage(), &progress);
    if (report && report.Value().imported)
        m_doc.Record(std::move(change));
    else if (!report && report.GetError().code == Error::Code::Cancelled)
        m_doc.Discard(std::move(change));
    m_importing = false;
    m_browse->setEnabled(true);
    return report;
}

void CImportGlossaryDlg::OnStart() {
    if (m_bDone) {
        accept();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto bytes = ReadWholeFile(m_path->text().toStdString());
    Result<GlossaryReport> report = bytes ? Import(bytes.Value()) : bytes.GetError();
    QApplication::restoreOverrideCursor();
    if (!report && report.GetError().code == Error::Code::Cancelled) {
        ShowDetails(tr("Import stopped: nothing was imported."));
        m_start->setEnabled(true);
        return;
    }
    if (report) {
        m_report = std::move(report).Value();
        QString text = tr("%n lines skipped (read as %1):", nullptr, int(m_report.skippedLines))
                           .arg(QString::fromStdString(m_report.EncodingName()));
        for (const GlossarySkippedLine& line : m_report.skipped) text += "\n" + QString::fromStdString(m_report.Describe(line));
        if (m_report.skippedLines > m_report.skipped.size())
            text += "\n" + tr("(and %n more skipped lines)", nullptr,
                               int(m_report.skippedLines - m_report.skipped.size()));
        if (m_report.skippedLines) ShowDetails(text);
    } else {
        ShowDetails(tr("Nothing imported: %1").arg(QString::fromStdString(report.GetError().Describe())));
    }
    m_entries->setText(QString::number(m_report.entries));
    m_imported->setText(QString::number(m_report.imported));
    m_bDone = true;
    m_start->setText(tr("OK"));
    m_start->setEnabled(true);
}

void CImportGlossaryDlg::ShowDetails(const QString& text) {
    m_details->setPlainText(text);
    m_details->show();
}

} // namespace quillon::gui
