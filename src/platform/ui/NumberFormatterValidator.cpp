#include "platform/ui/NumberFormatterValidator.h"

#include "platform/foundation/ZQAssert.h"

namespace platform {

NumberFormatterValidator::NumberFormatterValidator(std::shared_ptr<const NumberFormatter> formatter, QObject* parent)
    : QValidator(parent)
    , m_formatter(std::move(formatter))
{
    ZQ_ASSERT(m_formatter, QStringLiteral("a validator needs a formatter"));
}

QValidator::State NumberFormatterValidator::validate(QString& input, int& /*position*/) const
{
    QVariant value;
    return m_formatter->getObjectValueForStringErrorDescription(&value, input, nullptr) ? Acceptable : Intermediate;
}

} // namespace platform
