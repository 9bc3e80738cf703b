#pragma once
// Answers the window's questions from a script and records what it said.

#include <QAbstractItemModel>
#include <QLabel>
#include <QStringList>
#include <deque>

#include "ui/UpdateReportDialog.h"
#include "ui/UserPrompts.h"

namespace quillon::testing {

class ScriptedPrompts : public gui::IUserPrompts {
public:
    void Error(const QString& text) override { errors.append(text); }
    void Information(const QString& title, const QString& text) override { informations.append(title + ": " + text); }
    bool Confirm(const QString& text) override {
        questions.append(text);
        return Next(confirms, false);
    }
    Choice Choose(const QString& text) override {
        questions.append(text);
        return Next(choices, Choice::Cancel);
    }
    SaveAnswer AskSave(const QString& fileName) override {
        questions.append("save " + fileName);
        return Next(saveAnswers, SaveAnswer::Cancel);
    }
    QString OpenFile(const QString&, const QString&) override { return Next(files, QString()); }
    QString SaveFile(const QString&, const QString&, const QString&) override { return Next(files, QString()); }
    // Builds the real report dialog, without showing it, and keeps what it says.
    void ShowUpdateReport(const UpdateReport& report, const CodePage& codePage) override {
        gui::CUpdateReportDlg dialog(report, codePage);
        reports.append(dialog.SummaryLabel()->text());
        const QAbstractItemModel& rows = *dialog.Changes();
        for (int row = 0; row < rows.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < rows.columnCount(); ++column) cells << rows.data(rows.index(row, column)).toString();
            reportRows.append(cells.join(" | "));
        }
    }

    QStringList errors;
    QStringList informations;
    QStringList questions;
    QStringList reports;    // the summary line of each update report
    QStringList reportRows; // "kind | path | old | new | translation", every report's rows
    std::deque<bool> confirms;
    std::deque<Choice> choices;
    std::deque<SaveAnswer> saveAnswers;
    std::deque<QString> files;

private:
    template <typename T>
    static T Next(std::deque<T>& queue, T fallback) {
        if (queue.empty()) return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace quillon::testing
