#pragma once
// Answers the window's questions from a script and records what it said.

#include <QStringList>
#include <deque>

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
    SaveAnswer AskSave(const QString& fileName) override {
        questions.append("save " + fileName);
        return Next(saveAnswers, SaveAnswer::Cancel);
    }
    QString OpenFile(const QString&, const QString&) override { return Next(files, QString()); }
    QString SaveFile(const QString&, const QString&, const QString&) override { return Next(files, QString()); }

    QStringList errors;
    QStringList informations;
    QStringList questions;
    std::deque<bool> confirms;
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
