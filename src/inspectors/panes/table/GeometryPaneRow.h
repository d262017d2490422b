#pragma once

// One row of an inspector pane: the key path it shows and edits, its control, the undo action
// a write is named by, and what it needs beyond the common rules (a display conversion, an
// enabling condition). A pane is a list of rows, turned into controls by GeometryTablePane; a
// subclass pane appends rows to its parent's.

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <functional>
#include <limits>

class GeometryTablePane;

struct GeometryPaneRow {
    enum class Control {
        Number,   // a field and stepper, in the field's own formatter
        Length,   // a field and stepper in the tab's display units, or a percentage
        Checkbox, // writes checkedValue / uncheckedValue; mixed values show the mixed state
        PopUp,    // tagged items; the tags the objects use are marked
        Segments, // a row of buttons, one per tag
        Text,     // a line of text
        Colour,   // a colour well
    };
    // How a length shown as a percentage may be typed: between 10 % and 400 % of the value
    // when the selection was loaded, or any amount.
    enum class Percentage { None, Bounded, Open };
    using Choices = QList<QPair<QString, int>>;

    QString keyPath;
    QString label;
    Control control = Control::Number;
    // Names the undo step of every write; none leaves the step unnamed.
    QString undoName;
    double minimum = -std::numeric_limits<double>::max();
    double maximum = std::numeric_limits<double>::max();
    double increment = 1;
    int fractionDigits = 2;
    Percentage percentage = Percentage::None;
    Choices choices;
    // The values the choices stand for, in the same order, when they are not their tags (a
    // track's type name): the control shows the choice holding the value and writes it.
    QVariantList choiceValues;
    QVariant checkedValue = true;
    QVariant uncheckedValue = false;
    // The value shown for the model's (an angle folded into -180..180); none shows it as is.
    std::function<double(double)> shownValue;
    // Enabled while the objects are unlocked and this holds; none means always. Rows that
    // change the lock itself ignore it.
    std::function<bool(GeometryTablePane& pane)> enabledWhen;
    bool ignoresLock = false;

    static GeometryPaneRow make(const QString& keyPath, const QString& label, Control control, const QString& undoName = {})
    {
        GeometryPaneRow row;
        row.keyPath = keyPath;
        row.label = label;
        row.control = control;
        row.undoName = undoName;
        return row;
    }
    static GeometryPaneRow number(const QString& keyPath, const QString& label, double minimum, double maximum,
                                  double increment = 1, const QString& undoName = {})
    {
        GeometryPaneRow row = make(keyPath, label, Control::Number, undoName);
        row.minimum = minimum;
        row.maximum = maximum;
        row.increment = increment;
        return row;
    }
    static GeometryPaneRow length(const QString& keyPath, const QString& label, const QString& undoName = {},
                                  Percentage percentage = Percentage::None)
    {
        GeometryPaneRow row = make(keyPath, label, Control::Length, undoName);
        row.percentage = percentage;
        return row;
    }
    static GeometryPaneRow checkbox(const QString& keyPath, const QString& label, const QString& undoName = {})
    {
        return make(keyPath, label, Control::Checkbox, undoName);
    }
    static GeometryPaneRow choice(Control control, const QString& keyPath, const QString& label, Choices choices,
                                  const QString& undoName = {})
    {
        GeometryPaneRow row = make(keyPath, label, control, undoName);
        row.choices = std::move(choices);
        return row;
    }

    GeometryPaneRow standingFor(QVariantList values) &&
    {
        choiceValues = std::move(values);
        return std::move(*this);
    }
    GeometryPaneRow when(std::function<bool(GeometryTablePane& pane)> condition) &&
    {
        enabledWhen = std::move(condition);
        return std::move(*this);
    }
    GeometryPaneRow whateverTheLock() &&
    {
        ignoresLock = true;
        return std::move(*this);
    }
    GeometryPaneRow showing(std::function<double(double)> conversion) &&
    {
        shownValue = std::move(conversion);
        return std::move(*this);
    }
    GeometryPaneRow inWholeNumbers() &&
    {
        fractionDigits = 0;
        return std::move(*this);
    }
};

using GeometryPaneTable = QList<GeometryPaneRow>;
