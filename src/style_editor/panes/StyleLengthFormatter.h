#pragma once

// The formatter of the panes' length fields: a number formatter whose text carries the display
// units after the number ("0.5in"). Typed text may end with the units or not.

#include "platform/ui/NumberFormatter.h"

class StyleLengthFormatter : public platform::NumberFormatter {
public:
    QString positiveSuffix() const { return m_positiveSuffix; }
    void setPositiveSuffix(const QString& suffix) { m_positiveSuffix = suffix; }
    QString negativeSuffix() const { return m_negativeSuffix; }
    void setNegativeSuffix(const QString& suffix) { m_negativeSuffix = suffix; }

    QString stringForObjectValue(const QVariant& value) const override;
    bool getObjectValueForStringErrorDescription(QVariant* value, const std::optional<QString>& string,
                                                 QString* error) const override;

private:
    QString m_positiveSuffix;
    QString m_negativeSuffix;
};
