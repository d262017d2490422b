#include "platform/foundation/EnglishPlurals.h"

#include <QCoreApplication>

namespace platform {

QString EnglishPluralTranslator::translate(const char*, const char* sourceText, const char*, int n) const
{
    static const QLatin1String plural("(s)");
    if (n < 0 || !sourceText)
        return {};
    QString text = QString::fromUtf8(sourceText);
    if (!text.contains(plural))
        return {};
    return text.replace(plural, n == 1 ? QString() : QStringLiteral("s"));
}

void EnglishPluralTranslator::install()
{
    auto* translator = new EnglishPluralTranslator(QCoreApplication::instance());
    QCoreApplication::installTranslator(translator);
}

} // namespace platform
