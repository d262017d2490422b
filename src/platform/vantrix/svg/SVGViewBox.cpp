#include "platform/vantrix/svg/SVGViewBox.h"

#include "platform/vantrix/svg/SVGNumberScanner.h"

#include <QStringList>

#include <algorithm>

namespace platform {

QTransform SVGViewBox::transform(const QRectF& viewBox, QStringView preserveAspectRatio, QSizeF viewport)
{
    if (viewBox.width() <= 0 || viewBox.height() <= 0)
        return {};
    double sx = viewport.width() / viewBox.width();
    double sy = viewport.height() / viewBox.height();
    const QStringList words = preserveAspectRatio.toString().simplified().split(u' ', Qt::SkipEmptyParts);
    const QString align = words.value(words.value(0) == u"defer" ? 1 : 0, QStringLiteral("xMidYMid"));
    double ax = 0.5;
    double ay = 0.5;
    if (align != u"none") {
        const bool slice = words.contains(QStringLiteral("slice"));
        sx = sy = slice ? std::max(sx, sy) : std::min(sx, sy);
        const auto alignment = [&](QStringView part) {
            return part == u"Min" ? 0.0 : part == u"Max" ? 1.0 : 0.5;
        };
        if (align.size() == 8) {
            ax = alignment(QStringView(align).sliced(1, 3));
            ay = alignment(QStringView(align).sliced(5, 3));
        }
    }
    const double tx = -viewBox.x() * sx + ax * (viewport.width() - viewBox.width() * sx);
    const double ty = -viewBox.y() * sy + ay * (viewport.height() - viewBox.height() * sy);
    return QTransform(sx, 0, 0, sy, tx, ty);
}

std::optional<QRectF> SVGViewBox::parse(QStringView text)
{
    SVGNumberScanner scanner(text);
    double values[4];
    scanner.skipSpaces();
    for (double& value : values) {
        const std::optional<double> number = scanner.readNumber();
        if (!number)
            return std::nullopt;
        value = *number;
        scanner.skipSeparator();
    }
    if (!scanner.atEnd() || values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return QRectF(values[0], values[1], values[2], values[3]);
}

} // namespace platform
