#pragma once

// Evaluates arithmetic expressions over named variables: the formulas that compute a map
// object's properties from its attributes, such as "(QVNL_POPULATION / 10000) + 0.5".
//
// The language:
//   numbers      2   0.5   .5   1e3   (always with "." as the decimal point)
//   names        letters, digits and "_", not starting with a digit; "pi" is predefined
//   operators    + - * / (left-associative), ^ (power, right-associative), unary - and +;
//                ^ binds tighter than unary minus, so -2^2 is -4 and 2^-1 is 0.5
//   functions    sin cos tan asin acos atan (radians), sqrt abs exp, ln and log (natural),
//                log10, floor ceil round (halves away from zero), min max (two arguments)
// Arithmetic is IEEE double: 1/0 is infinity and sqrt(-1) is NaN, neither is an error.
//
// A name that is not a variable yet becomes one, with value 0, when an expression that uses
// it is evaluated; variables() then lists the names a formula reads. Function names are
// reserved. The last expression is kept compiled, so evaluating one formula for many objects
// parses it once.

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class ZQMathParser {
public:
    ZQMathParser();
    static ZQMathParser parser() { return {}; }

    // The value of `expression` with the current variable values. A syntax error throws a
    // platform::NamedException named "Error in expression" whose reason is "error = <what is wrong>";
    // a null or empty expression is a programming error.
    double evaluate(const QString& expression);

    // Sets the variable `name`, creating it when missing.
    void setSymbolValueForKey(double value, const QString& name);

    // Every variable defined so far except "pi", in the order they were first defined.
    QStringList variables() const;

    // Whether `name` is one of the built-in functions.
    static bool isFunctionName(const QString& name);

    struct CompiledExpression;

private:
    int defineVariable(const QString& name);

    QStringList m_names;                // index -> name; "pi" is index 0
    QHash<QString, int> m_indexOfName;
    std::vector<double> m_values;       // index -> value
    std::shared_ptr<const CompiledExpression> m_compiled; // of the last expression evaluated
};
