#pragma once
// Questions and messages the window puts to the user. The window asks
// through this interface so that tests can answer without a human.

#include <QString>

class QWidget;

namespace quillon {
class CodePage;
struct UpdateReport;
} // namespace quillon

namespace quillon::gui {

class IUserPrompts {
public:
    enum class SaveAnswer { Save, Discard, Cancel };
    enum class Choice { Yes, No, Cancel };
    virtual ~IUserPrompts() = default;
    virtual void Error(const QString& text) = 0;
    virtual void Information(const QString& title, const QString& text) = 0;
    virtual bool Confirm(const QString& text) = 0;
    // A question with two ways to go on; Escape cancels.
    virtual Choice Choose(const QString& text) = 0;
    virtual SaveAnswer AskSave(const QString& fileName) = 0;
    // Empty when cancelled.
    virtual QString OpenFile(const QString& title, const QString& filter) = 0;
    virtual QString SaveFile(const QString& title, const QString& filter, const QString& suffix) = 0;
    // What an update changed (CUpdateReportDlg), texts in `codePage`.
    virtual void ShowUpdateReport(const UpdateReport& report, const CodePage& codePage) = 0;
};

// Message boxes and file dialogs (non-native, with the usual places).
class CDialogPrompts : public IUserPrompts {
public:
    explicit CDialogPrompts(QWidget* parent) : m_parent(parent) {}
    void Error(const QString& text) override;
    void Information(const QString& title, const QString& text) override;
    bool Confirm(const QString& text) override;
    Choice Choose(const QString& text) override;
    SaveAnswer AskSave(const QString& fileName) override;
    QString OpenFile(const QString& title, const QString& filter) override;
    QString SaveFile(const QString& title, const QString& filter, const QString& suffix) override;
    void ShowUpdateReport(const UpdateReport& report, const CodePage& codePage) override;

private:
    QWidget* m_parent;
};

} // namespace quillon::gui
