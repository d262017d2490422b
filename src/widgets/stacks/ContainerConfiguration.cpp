#include "widgets/stacks/ContainerConfiguration.h"

#include "platform/foundation/PropertyList.h"

#include <QLocale>
#include <QRegularExpression>
#include <QVariantMap>

namespace {

struct ReadBudget {
    int remaining = ContainerConfiguration::kMaximumCount;
};

std::optional<ContainerConfiguration> read(const QByteArray& data, int depth, ReadBudget& budget)
{
    const std::optional<QVariant> plist = platform::PropertyList::fromData(data);
    if (!plist || plist->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap root = plist->toMap();
    ContainerConfiguration configuration;
    if (const QVariant ident = root.value(QStringLiteral("cv_ident")); ident.typeId() == QMetaType::QString)
        configuration.identifier = ident.toString();
    if (const QVariant title = root.value(QStringLiteral("cv_title")); title.typeId() == QMetaType::QString)
        configuration.title = title.toString();
    if (const QVariant frame = root.value(QStringLiteral("cv_frame")); frame.typeId() == QMetaType::QString)
        configuration.frame = rectFromString(frame.toString());
    if (const QVariant collapsed = root.value(QStringLiteral("cv_collapsed")); collapsed.typeId() == QMetaType::Bool)
        configuration.collapsed = collapsed.toBool();
    const QVariant subviews = root.value(QStringLiteral("cv_subviews"));
    if (subviews.typeId() != QMetaType::QVariantList || depth >= ContainerConfiguration::kMaximumDepth)
        return configuration;
    for (const QVariant& element : subviews.toList()) {
        if (budget.remaining <= 0)
            break;
        if (element.typeId() != QMetaType::QByteArray)
            continue;
        --budget.remaining;
        if (std::optional<ContainerConfiguration> sub = read(element.toByteArray(), depth + 1, budget))
            configuration.subcontainers.push_back(std::move(*sub));
    }
    return configuration;
}

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

std::optional<ContainerConfiguration> ContainerConfiguration::fromData(const QByteArray& data)
{
    ReadBudget budget;
    return read(data, 0, budget);
}

QString stringFromRect(const QRectF& rect)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(number(rect.x()), number(rect.y()), number(rect.width()), number(rect.height()));
}

std::optional<QRectF> rectFromString(const QString& text)
{
    static const QString n = QStringLiteral(R"(\s*([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)\s*)");
    static const QRegularExpression form(QStringLiteral(R"(^\s*\{\s*\{%1,%1\}\s*,\s*\{%1,%1\}\s*\}\s*$)").arg(n));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    double values[4];
    for (int i = 0; i < 4; ++i)
        values[i] = match.captured(i + 1).toDouble();
    return QRectF(values[0], values[1], values[2], values[3]);
}
