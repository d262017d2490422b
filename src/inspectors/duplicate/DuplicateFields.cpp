#include "inspectors/duplicate/DuplicateFields.h"

#include "platform/measurement/ZQTypedLength.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QLocale>

namespace duplicatefields {

std::optional<int> copiesFromText(const QString& text)
{
    bool ok = false;
    int copies = QLocale().toInt(text.trimmed(), &ok);
    if (!ok)
        copies = QLocale::c().toInt(text.trimmed(), &ok);
    if (!ok || copies < 1 || copies > VXObjectDrawingLayer::kMaximumDuplicateCopies)
        return std::nullopt;
    return copies;
}

std::optional<double> numberFromText(const QString& text)
{
    return ZQTypedLength::numberFromText(text);
}

QString textForNumber(double value, int decimals)
{
    QString text = QLocale().toString(value, 'f', decimals);
    const QChar point = QLocale().decimalPoint().front();
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(1);
    }
    // "-0" reads oddly in a field.
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

} // namespace duplicatefields
