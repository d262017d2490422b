#pragma once

// A transformer that computes a number with a formula and writes it to the output key path.
// The formula's names are read from the target before each evaluation: every name the
// formula uses is a key path of the target (for placed symbols, usually an attribute such as
// "QVNL_POPULATION"), and "x" is the value at the input key path, which wins over an
// attribute named "x". A name the target has no value for keeps its previous value (0 at
// first), so it may carry over from the last object transformed.
//
// One compiled formula per transformer: setting a formula makes a fresh parser and evaluates
// it once, which defines its names. An empty formula is none: the transformer does nothing.
// A formula that does not parse throws platform::NamedException "Error in expression" from
// setFormula and from the transformations; read from an archive it is kept as it is.
//
// Archive key: "VXQNumericDataTransformer_formula".

#include "app/expressions/ZQMathParser.h"
#include "symbols/transformers/VXQDataTransformer.h"

#include <memory>

class VXQNumericDataTransformer : public VXQDataTransformer {
    Q_OBJECT
    Q_PROPERTY(QString formula READ formula WRITE setFormula)

public:
    VXQNumericDataTransformer();
    ~VXQNumericDataTransformer() override;

    static std::shared_ptr<VXQNumericDataTransformer> dataTransformerWithFormula(const QString& formula);
    void initWithFormula(const QString& formula) { setFormula(formula); }

    QString formula() const { return m_formula; }
    // Throws when the formula does not parse; the formula is kept all the same.
    void setFormula(const QString& formula);
    // The formula's names, "x" included when the formula uses it; empty without a formula.
    QStringList variables() const;

    // The formula's value for `target`, writing nothing; 0 without a formula.
    double preflightWithTarget(ZQObject* target);
    // Writes `value` as a number to the output key path of `target`; nothing without one.
    virtual void sendOutputToTarget(double value, ZQObject* target);
    // Sets the formula's names from `target`, then "x" from its input key path when one is set.
    void loadVariablePropertiesFromTarget(ZQObject* target);

    void performTransformation() override;
    void performTransformationWithTarget(ZQObject* target) override;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void copyInto(VXQDataTransformer& copy) const override;

private:
    void transformBetween(ZQObject* input, ZQObject* output);

    QString m_formula;
    std::unique_ptr<ZQMathParser> m_parser;
};
