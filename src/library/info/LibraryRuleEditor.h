#pragma once

// The rule of a smart category as rows a user edits: "Match any/all of the following rules",
// then one row per test of an item property (name, description, kind, locked) with an
// operator and a value, each with a button that adds a row below it and one that removes it.
// Text tests ignore case and accents, as the library's own smart categories do; a row keeps
// the options of a predicate it was loaded from. The rule becomes the OR or AND of its rows.

#include "platform/foundation/Predicate.h"

#include <QWidget>

class QComboBox;
class QVBoxLayout;

class LibraryRuleEditor : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRowHeight = 28;

    explicit LibraryRuleEditor(QWidget* parent = nullptr);

    // Rows for the predicate: its comparisons, nested groups flattened into the top one. Tests
    // of other key paths keep their key path and show it as typed. None gives one empty name row.
    void setObjectValue(const platform::PredicatePtr& predicate);
    platform::PredicatePtr objectValue() const;

    // The compound row and the rule rows.
    int numberOfRows() const;
    int rowHeight() const { return kRowHeight; }
    int numberOfRuleRows() const { return int(m_rules.size()); }
    // Adds a name row after `row` (at the end for -1); removes a row, never the last one.
    void insertRuleAfter(int row);
    void removeRule(int row);

    // The row's widgets, for tests and accessibility: key, operator, value.
    QComboBox* keyPopUp(int row) const;
    QComboBox* operatorPopUp(int row) const;
    QWidget* valueField(int row) const;
    QComboBox* matchPopUp() const { return m_match; }
    void setRuleValue(int row, const QVariant& value);

Q_SIGNALS:
    // Rows were added or removed.
    void rowsDidChange();

private:
    struct Rule;
    Rule* makeRule(const QString& keyPath);
    void loadComparison(Rule& rule, const platform::Predicate& comparison);
    void keyChanged(Rule& rule);
    platform::PredicatePtr predicateOfRule(const Rule& rule) const;
    int indexOfRule(const Rule* rule) const;
    void updateRemoveButtons();

    QComboBox* m_match = nullptr;
    QVBoxLayout* m_rows = nullptr;
    QList<Rule*> m_rules;
};
