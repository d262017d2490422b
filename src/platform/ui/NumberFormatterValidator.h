#pragma once

// Lets a QLineEdit check its text with a NumberFormatter: text the formatter reads is
// Acceptable, anything else Intermediate (the user may still be typing), so the field
// keeps the text and does not commit it until it reads.

#include "platform/ui/NumberFormatter.h"

#include <QValidator>
#include <memory>

namespace platform {

class NumberFormatterValidator : public QValidator {
    Q_OBJECT
public:
    explicit NumberFormatterValidator(std::shared_ptr<const NumberFormatter> formatter, QObject* parent = nullptr);

    const NumberFormatter& formatter() const { return *m_formatter; }
    State validate(QString& input, int& position) const override;

private:
    std::shared_ptr<const NumberFormatter> m_formatter;
};

} // namespace platform
