#include "app/utilities/StringUtilities.h"

#include <QCollator>
#include <optional>

int localisedCaseInsensitiveNumericCompare(const QString& a, const QString& b)
{
    // A collator is costly to make and sorting calls this often: one per thread, remade
    // when the default locale changes.
    thread_local std::optional<QCollator> collator;
    thread_local QLocale collatorLocale;
    if (!collator || collatorLocale != QLocale()) {
        collatorLocale = QLocale();
        collator = localisedCaseInsensitiveNumericCollator();
    }
    return collator->compare(a, b);
}

QCollator localisedCaseInsensitiveNumericCollator()
{
    // Collating for the C locale compares code points and ignores numeric mode.
    const QLocale locale;
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

QString capitalizedStringPreservingCamelCase(const QString& key)
{
    if (key.isEmpty())
        return key;
    return key.front().toUpper() + key.mid(1);
}

QString setterString(const QString& key)
{
    return QStringLiteral("set") + capitalizedStringPreservingCamelCase(key);
}
