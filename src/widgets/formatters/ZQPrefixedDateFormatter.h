#pragma once

// Dates as a prefix, one space and the date in the locale's format ("Modified 7/12/26").

#include <QLocale>
#include <QString>
#include <QVariant>

class ZQPrefixedDateFormatter {
public:
    explicit ZQPrefixedDateFormatter(QLocale::FormatType format = QLocale::ShortFormat, const QLocale& locale = {});

    QString prefixString() const { return m_prefixString; }
    void setPrefixString(const QString& prefix) { m_prefixString = prefix; }

    // A date or date-time with the prefix; empty for anything else.
    QString stringForObjectValue(const QVariant& object) const;

private:
    QLocale::FormatType m_format;
    QLocale m_locale;
    QString m_prefixString;
};
