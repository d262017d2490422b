#include "widgets/formatters/ZQPrefixedDateFormatter.h"

#include <QDateTime>

ZQPrefixedDateFormatter::ZQPrefixedDateFormatter(QLocale::FormatType format, const QLocale& locale)
    : m_format(format), m_locale(locale)
{
}

QString ZQPrefixedDateFormatter::stringForObjectValue(const QVariant& object) const
{
    QString date;
    if (object.typeId() == QMetaType::QDateTime)
        date = m_locale.toString(object.toDateTime(), m_format);
    else if (object.typeId() == QMetaType::QDate)
        date = m_locale.toString(object.toDate(), m_format);
    if (date.isEmpty())
        return {};
    return m_prefixString + QLatin1Char(' ') + date;
}
