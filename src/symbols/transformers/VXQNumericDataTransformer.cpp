#include "symbols/transformers/VXQNumericDataTransformer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/model/ArchiveReader.h"

namespace {

const QString kFormulaKey = QStringLiteral("VXQNumericDataTransformer_formula");
const QString kInputVariable = QStringLiteral("x");

// The number a target's value stands for; none for a missing value or the null marker.
std::optional<double> doubleValue(const QVariant& value)
{
    if (platform::isNull(value))
        return std::nullopt;
    return value.toDouble();
}

} // namespace

VXQNumericDataTransformer::VXQNumericDataTransformer() = default;

VXQNumericDataTransformer::~VXQNumericDataTransformer() = default;

std::shared_ptr<VXQNumericDataTransformer> VXQNumericDataTransformer::dataTransformerWithFormula(const QString& formula)
{
    auto transformer = std::make_shared<VXQNumericDataTransformer>();
    transformer->initWithFormula(formula);
    return transformer;
}

void VXQNumericDataTransformer::setFormula(const QString& formula)
{
    m_formula = formula;
    m_parser.reset();
    if (formula.trimmed().isEmpty())
        return;
    m_parser = std::make_unique<ZQMathParser>();
    m_parser->evaluate(formula);
}

QStringList VXQNumericDataTransformer::variables() const
{
    return m_parser ? m_parser->variables() : QStringList();
}

void VXQNumericDataTransformer::loadVariablePropertiesFromTarget(ZQObject* target)
{
    if (!m_parser || !target)
        return;
    for (const QString& name : m_parser->variables()) {
        if (const std::optional<double> value = doubleValue(target->valueForKeyPath(name)))
            m_parser->setSymbolValueForKey(*value, name);
    }
    // Transformers made by the editor have no input: their formulas read attributes only.
    if (inputPropertyKey().isEmpty())
        return;
    if (const std::optional<double> value = doubleValue(target->valueForKeyPath(inputPropertyKey())))
        m_parser->setSymbolValueForKey(*value, kInputVariable);
}

double VXQNumericDataTransformer::preflightWithTarget(ZQObject* target)
{
    if (!m_parser)
        return 0;
    loadVariablePropertiesFromTarget(target);
    return m_parser->evaluate(m_formula);
}

void VXQNumericDataTransformer::sendOutputToTarget(double value, ZQObject* target)
{
    if (target && !outputPropertyKey().isEmpty())
        target->setValueForKeyPath(value, outputPropertyKey());
}

void VXQNumericDataTransformer::performTransformation()
{
    transformBetween(inputTarget(), outputTarget());
}

void VXQNumericDataTransformer::performTransformationWithTarget(ZQObject* target)
{
    transformBetween(target, target);
}

void VXQNumericDataTransformer::transformBetween(ZQObject* input, ZQObject* output)
{
    if (m_formula.trimmed().isEmpty() || !enabled())
        return;
    ZQ_ASSERT(m_parser, QStringLiteral("you must set a formula before performing a transformation!"));
    loadVariablePropertiesFromTarget(input);
    sendOutputToTarget(m_parser->evaluate(m_formula), output);
}

// --- Copying and archiving ---------------------------------------------------------------------------------

std::shared_ptr<ZQObject> VXQNumericDataTransformer::copy() const
{
    auto copy = std::make_shared<VXQNumericDataTransformer>();
    copyInto(*copy);
    return copy;
}

void VXQNumericDataTransformer::copyInto(VXQDataTransformer& copy) const
{
    VXQDataTransformer::copyInto(copy);
    auto& numeric = static_cast<VXQNumericDataTransformer&>(copy);
    numeric.m_formula = m_formula;
    // The formula parsed here, or it was kept unparsed from an archive: either way the copy
    // takes it as it is.
    try {
        numeric.setFormula(m_formula);
    } catch (const platform::NamedException&) {
    }
}

void VXQNumericDataTransformer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXQDataTransformer::encodeWithCoder(coder);
    coder.encodeString(m_formula, kFormulaKey);
}

void VXQNumericDataTransformer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXQDataTransformer::initWithCoder(coder);
    const QString formula = platform::ArchiveReader(coder).string(kFormulaKey);
    try {
        setFormula(formula);
    } catch (const platform::NamedException& error) {
        ZQLogObjCMethod(QStringLiteral("kept a formula that does not parse: '%1' (%2)").arg(formula, error.reason()));
    }
}
