#pragma once

// One row of a pane's table: the key path it edits, the control that edits it, how the value
// is converted for display and when the control is enabled beyond the lock rule. A pane is a
// list of rows; StyleTablePane turns them into controls, shows values in them and writes the
// user's changes back. A subclass pane appends rows to its parent's list.

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <functional>
#include <numbers>

class StyleTablePane;

struct StylePaneRow {
    enum class Control {
        Number,   // a field with a stepper
        Length,   // a number in the editor's display units
        Colour,   // a colour well
        Checkbox, // writes checkedValue / uncheckedValue
        PopUp,    // a menu of choices writing their tag
        Segments, // a row of buttons writing their tag
        Radio,    // radio buttons writing their tag
    };
    using Choices = QList<QPair<QString, int>>;

    QString keyPath;
    QString label;
    Control control = Control::Number;
    // Numbers are shown as the stored value times this (180/pi for an angle kept in radians).
    double displayFactor = 1.0;
    double minimum = 0;
    double maximum = 100;
    double increment = 1;
    Choices choices;
    QVariant checkedValue = true;
    QVariant uncheckedValue = false;
    // A checkbox shows on for every value but uncheckedValue, not only for checkedValue.
    bool checkedUnlessUnchecked = false;
    // Enabling on top of the lock rule (not locked and enabled); none means always.
    std::function<bool(StyleTablePane& pane)> enabledWhen;

    static StylePaneRow make(const QString& keyPath, const QString& label, Control control)
    {
        StylePaneRow row;
        row.keyPath = keyPath;
        row.label = label;
        row.control = control;
        return row;
    }
    static StylePaneRow number(const QString& keyPath, const QString& label, double minimum, double maximum,
                               double increment = 1)
    {
        StylePaneRow row = make(keyPath, label, Control::Number);
        row.minimum = minimum;
        row.maximum = maximum;
        row.increment = increment;
        return row;
    }
    static StylePaneRow length(const QString& keyPath, const QString& label, double minimum, double maximum,
                               double increment = 1)
    {
        StylePaneRow row = number(keyPath, label, minimum, maximum, increment);
        row.control = Control::Length;
        return row;
    }
    // Kept in radians, shown and typed in degrees.
    static StylePaneRow angleInRadians(const QString& keyPath, const QString& label)
    {
        StylePaneRow row = number(keyPath, label, -360, 360, 5);
        row.displayFactor = 180.0 / std::numbers::pi;
        return row;
    }
    static StylePaneRow colour(const QString& keyPath, const QString& label)
    {
        return make(keyPath, label, Control::Colour);
    }
    static StylePaneRow checkbox(const QString& keyPath, const QString& label, QVariant checkedValue = true,
                                 QVariant uncheckedValue = false)
    {
        StylePaneRow row = make(keyPath, label, Control::Checkbox);
        row.checkedValue = std::move(checkedValue);
        row.uncheckedValue = std::move(uncheckedValue);
        return row;
    }
    static StylePaneRow choice(Control control, const QString& keyPath, const QString& label, Choices choices)
    {
        StylePaneRow row = make(keyPath, label, control);
        row.choices = std::move(choices);
        return row;
    }

    StylePaneRow checkedForAnyValueButUnchecked() &&
    {
        checkedUnlessUnchecked = true;
        return std::move(*this);
    }
    StylePaneRow when(std::function<bool(StyleTablePane& pane)> condition) &&
    {
        enabledWhen = std::move(condition);
        return std::move(*this);
    }
};

using StylePaneTable = QList<StylePaneRow>;
