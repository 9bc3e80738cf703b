#pragma once
// Finding items in the list: a text over source and translation (plain,
// whole words or a regular expression, with or without case) and the states
// to show. The proxy re-filters only when the filter or the rows change, not
// when an item does, so a row just translated stays where the translator is.

#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QWidget>
#include <functional>

#include "model/ResourceItem.h"

class QBoxLayout;
class QCheckBox;
class QLineEdit;

class QTimer;

namespace quillon::gui {

class CStringListModel;

struct ListFilter {
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
    int states = 0; // CStringListModel::StateFlag bits; 0 shows every state
};

class CStringFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit CStringFilterModel(CStringListModel& list, QObject* parent = nullptr);

    void SetFilter(const ListFilter& filter);
    const ListFilter& Filter() const { return m_filter; }
    // False for a regular expression that does not parse (nothing matches).
    bool PatternIsValid() const { return m_pattern.isValid(); }
    // Whether the filter lets `item` through, wherever it is listed.
    bool Accepts(const CResourceItem& item) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    CStringListModel& m_list;
    ListFilter m_filter;
    QRegularExpression m_pattern;
};

// The bar above the list (Ctrl+F): the text, its options and the states.
// Escape in the text field clears the filter and hides the bar; Down or
// Enter there go on to the list.
class CFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit CFilterBar(QWidget* parent = nullptr);
    ListFilter Filter() const;
    // Shows the bar and puts the cursor in the text field.
    void Activate();
    // Lets every row through again (the bar stays as it is shown or hidden).
    void Clear();
    QLineEdit* TextEdit() const { return m_text; }
    // The option boxes by StateFlag bit ("untranslated" is StateUntranslated).
    QCheckBox* StateBox(int state) const;
    // Colours the text field when the pattern does not parse.
    void ShowPatternValid(bool valid);
    // While `longList` says so, typed text filters once typing pauses, not
    // at every key: each pass over tens of thousands of rows takes a while.
    void SetPauseWhile(std::function<bool()> longList) { m_longList = std::move(longList); }

signals:
    void filterChanged(const quillon::gui::ListFilter& filter);
    void closed();
    void listRequested();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QCheckBox* AddBox(QBoxLayout* row, const QString& text, const char* name);
    void Close();

    QLineEdit* m_text;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QCheckBox* m_regularExpression;
    QCheckBox* m_states[5];
    std::function<bool()> m_longList;
    QTimer* m_typingPause;
    void EmitFilter();
};

} // namespace quillon::gui
