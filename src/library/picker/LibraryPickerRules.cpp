#include "library/picker/LibraryPickerRules.h"

#include "library/manager/LibraryItemFiltering.h"

#include <QUrl>
#include <algorithm>
#include <cmath>

using platform::Predicate;

namespace librarypicker {

namespace {

const QString kEscapedDot = QStringLiteral("#$#");

} // namespace

platform::PredicatePtr filterPredicate(int filterKind, const QString& text, int stringMode)
{
    const platform::PredicatePtr name = LibraryItemFiltering::filterPredicate(text, stringMode);
    platform::PredicatePtr kind;
    if (filterKind == StyleKind || filterKind == SymbolKind)
        kind = Predicate::comparison(QStringLiteral("classCode"), Predicate::Operator::Equal, qint64(filterKind));
    if (kind && name)
        return Predicate::andPredicate({kind, name});
    return kind ? kind : name;
}

ToolMatch matchItemsToToolKind(qint64 toolKind, bool hidesNonMatching, const JXIndexSet& styleIndexes,
                               const JXIndexSet& symbolIndexes)
{
    ToolMatch match;
    if (hidesNonMatching) {
        match.filterKind = toolKind == StyleKind || toolKind == SymbolKind ? int(toolKind) : AnyKind;
        if (toolKind == AnyKind)
            match.disabledItems = JXIndexSet();
        return match;
    }
    if (toolKind == AnyKind)
        match.disabledItems = JXIndexSet();
    else if (toolKind == StyleKind && !symbolIndexes.empty())
        match.disabledItems = symbolIndexes;
    else if (toolKind == SymbolKind && !styleIndexes.empty())
        match.disabledItems = styleIndexes;
    return match;
}

QString identifierForItem(const QString& categoryIdentifier, const QString& itemName)
{
    if (itemName.isEmpty())
        return categoryIdentifier;
    return categoryIdentifier + u'.' + QString(itemName).replace(u'.', kEscapedDot);
}

QString pathBarStringForIdentifier(const QString& identifier)
{
    if (identifier.isEmpty())
        return {};
    QString path = identifier;
    path.replace(u'/', u'|').replace(u'.', u'/').replace(kEscapedDot, QStringLiteral("."));
    return u'/' + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

QStringList pathBarComponents(const QString& pathBarString)
{
    QStringList components;
    for (const QString& part : pathBarString.split(u'/', Qt::SkipEmptyParts))
        components.append(QUrl::fromPercentEncoding(part.toLatin1()));
    return components;
}

std::optional<double> snappedContentHeight(double contentHeight, double rowHeight, double fixedHeight)
{
    if (!(rowHeight > 0) || !std::isfinite(rowHeight) || !std::isfinite(contentHeight))
        return std::nullopt;
    const double rows = std::max(1.0, std::round((contentHeight - kPathBarHeight) / rowHeight));
    return rows * rowHeight + kPathBarHeight + fixedHeight;
}

QString pointString(QPoint point)
{
    return QStringLiteral("{%1, %2}").arg(point.x()).arg(point.y());
}

std::optional<QPoint> pointFromString(const QString& text)
{
    const QString inner = text.trimmed();
    if (!inner.startsWith(u'{') || !inner.endsWith(u'}'))
        return std::nullopt;
    const QStringList parts = inner.mid(1, inner.size() - 2).split(u',');
    bool okX = false;
    bool okY = false;
    const int x = parts.value(0).trimmed().toInt(&okX);
    const int y = parts.value(1).trimmed().toInt(&okY);
    if (parts.size() != 2 || !okX || !okY)
        return std::nullopt;
    return QPoint(x, y);
}

QString frameString(const QRect& frame)
{
    return QStringLiteral("%1 %2 %3 %4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

std::optional<QRect> frameFromString(const QString& text)
{
    const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return QRect(values[0], values[1], values[2], values[3]);
}

std::optional<QRect> frameKeptOnScreens(const QRect& frame, const QList<QRect>& screens)
{
    if (frame.isEmpty())
        return std::nullopt;
    const QRect* best = nullptr;
    qint64 bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect common = frame.intersected(screen);
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    if (!best)
        return std::nullopt;
    QRect kept(frame.topLeft(), frame.size().boundedTo(best->size()));
    kept.moveLeft(std::clamp(kept.left(), best->left(), best->right() + 1 - kept.width()));
    kept.moveTop(std::clamp(kept.top(), best->top(), best->bottom() + 1 - kept.height()));
    return kept;
}

} // namespace librarypicker
