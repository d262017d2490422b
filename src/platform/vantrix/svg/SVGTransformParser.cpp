#include "platform/vantrix/svg/SVGTransformParser.h"

#include "platform/vantrix/svg/SVGNumberScanner.h"

#include <QList>
#include <QtMath>

namespace platform {

namespace {

std::optional<QTransform> transformFor(QStringView name, const QList<double>& a)
{
    const qsizetype n = a.size();
    if (name == u"matrix" && n == 6)
        return QTransform(a[0], a[1], a[2], a[3], a[4], a[5]);
    if (name == u"translate" && (n == 1 || n == 2))
        return QTransform::fromTranslate(a[0], n == 2 ? a[1] : 0);
    if (name == u"scale" && (n == 1 || n == 2))
        return QTransform::fromScale(a[0], n == 2 ? a[1] : a[0]);
    if (name == u"rotate" && (n == 1 || n == 3)) {
        const QPointF centre = n == 3 ? QPointF(a[1], a[2]) : QPointF();
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.rotate(a[0]);
        t.translate(-centre.x(), -centre.y());
        return t;
    }
    if (name == u"skewX" && n == 1)
        return QTransform(1, 0, std::tan(qDegreesToRadians(a[0])), 1, 0, 0);
    if (name == u"skewY" && n == 1)
        return QTransform(1, std::tan(qDegreesToRadians(a[0])), 0, 1, 0, 0);
    return std::nullopt;
}

} // namespace

std::optional<QTransform> SVGTransformParser::parse(QStringView text)
{
    SVGNumberScanner scanner(text);
    QTransform result;
    scanner.skipSpaces();
    while (!scanner.atEnd()) {
        const QStringView name = scanner.readIdentifier();
        scanner.skipSpaces();
        if (name.isEmpty() || scanner.peek() != u'(')
            return std::nullopt;
        scanner.advance();
        QList<double> arguments;
        scanner.skipSpaces();
        while (scanner.peek() != u')') {
            const std::optional<double> value = scanner.readNumber();
            if (!value || arguments.size() == 6)
                return std::nullopt;
            arguments.append(*value);
            scanner.skipSeparator();
        }
        scanner.advance();
        const std::optional<QTransform> step = transformFor(name, arguments);
        if (!step)
            return std::nullopt;
        // Later entries apply first: with Qt's row vectors that puts them on the left.
        result = *step * result;
        scanner.skipSeparator();
    }
    return result;
}

} // namespace platform
