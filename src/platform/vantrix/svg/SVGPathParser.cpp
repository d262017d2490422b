#include "platform/vantrix/svg/SVGPathParser.h"

#include "platform/vantrix/svg/SVGNumberScanner.h"

#include <QtMath>

#include <array>
#include <cmath>
#include <optional>

namespace platform {

namespace {

int argumentCount(QChar command)
{
    switch (command.toLower().unicode()) {
    case 'm': case 'l': case 't': return 2;
    case 'h': case 'v': return 1;
    case 'c': return 6;
    case 's': case 'q': return 4;
    case 'a': return 7;
    case 'z': return 0;
    default: return -1;
    }
}

// Reads one command's arguments; arcs have flags in places 3 and 4.
bool readArguments(SVGNumberScanner& scanner, QChar command, std::array<double, 7>& values)
{
    const int count = argumentCount(command);
    const bool arc = command.toLower() == u'a';
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            scanner.skipSeparator();
        if (arc && (i == 3 || i == 4)) {
            const std::optional<bool> flag = scanner.readFlag();
            if (!flag)
                return false;
            values[size_t(i)] = *flag ? 1 : 0;
        } else {
            const std::optional<double> number = scanner.readNumber();
            if (!number)
                return false;
            values[size_t(i)] = *number;
        }
    }
    return true;
}

// The pen of a path being built: current point, subpath start and the last control point
// that smooth curves reflect.
class PathPen {
public:
    QPainterPath path;

    void apply(QChar command, const std::array<double, 7>& v)
    {
        const bool relative = command.isLower();
        const QPointF base = relative ? m_current : QPointF();
        const auto point = [&](int i) { return base + QPointF(v[size_t(i)], v[size_t(i) + 1]); };
        // After any other command, smooth curves reflect the current point: no control at all.
        std::optional<QPointF> quadControl;
        std::optional<QPointF> cubicControl;
        switch (command.toLower().unicode()) {
        case 'm':
            m_current = m_start = point(0);
            path.moveTo(m_current);
            break;
        case 'l':
            lineTo(point(0));
            break;
        case 'h':
            lineTo({relative ? m_current.x() + v[0] : v[0], m_current.y()});
            break;
        case 'v':
            lineTo({m_current.x(), relative ? m_current.y() + v[0] : v[0]});
            break;
        case 'c':
            cubicControl = point(2);
            cubicTo(point(0), *cubicControl, point(4));
            break;
        case 's':
            cubicControl = point(0);
            cubicTo(reflected(m_lastCubicControl), *cubicControl, point(2));
            break;
        case 'q':
            quadControl = point(0);
            quadTo(*quadControl, point(2));
            break;
        case 't':
            quadControl = reflected(m_lastQuadControl);
            quadTo(*quadControl, point(0));
            break;
        case 'a':
            SVGPathParser::appendArc(path, m_current, v[0], v[1], v[2], v[3] != 0, v[4] != 0, point(5));
            m_current = point(5);
            break;
        case 'z':
            path.closeSubpath();
            m_current = m_start;
            break;
        }
        m_lastQuadControl = quadControl.value_or(m_current);
        m_lastCubicControl = cubicControl.value_or(m_current);
    }

private:
    QPointF reflected(QPointF control) const { return 2 * m_current - control; }

    void lineTo(QPointF p)
    {
        path.lineTo(p);
        m_current = p;
    }
    void cubicTo(QPointF c1, QPointF c2, QPointF p)
    {
        path.cubicTo(c1, c2, p);
        m_current = p;
    }
    void quadTo(QPointF c, QPointF p)
    {
        path.cubicTo(m_current + 2.0 / 3.0 * (c - m_current), p + 2.0 / 3.0 * (c - p), p);
        m_current = p;
    }

    QPointF m_current;
    QPointF m_start;
    QPointF m_lastQuadControl;
    QPointF m_lastCubicControl;
};

} // namespace

SVGPathParser::Result SVGPathParser::parse(QStringView data, qsizetype& pointBudget)
{
    SVGNumberScanner scanner(data);
    PathPen pen;
    Result result;
    QChar command;
    std::array<double, 7> values{};
    scanner.skipSpaces();
    while (!scanner.atEnd()) {
        if (argumentCount(scanner.peek()) >= 0) {
            command = scanner.peek();
            scanner.advance();
            scanner.skipSpaces();
        } else if (command.isNull() || command.toLower() == u'z') {
            result.complete = false; // numbers with no command to repeat
            break;
        }
        // The first command must be a move.
        if (pen.path.elementCount() == 0 && command.toLower() != u'm') {
            result.complete = false;
            break;
        }
        if (!readArguments(scanner, command, values)) {
            result.complete = false;
            break;
        }
        const qsizetype before = pen.path.elementCount();
        pen.apply(command, values);
        pointBudget -= pen.path.elementCount() - before;
        if (pointBudget < 0) {
            result.complete = false;
            result.budgetSpent = true;
            break;
        }
        // Implicit repeats of a move are lines.
        if (command == u'M')
            command = u'L';
        else if (command == u'm')
            command = u'l';
        scanner.skipSeparator();
    }
    result.path = std::move(pen.path);
    return result;
}

void SVGPathParser::appendArc(QPainterPath& path, QPointF from, double rx, double ry, double xAxisRotationDegrees,
                              bool largeArc, bool sweep, QPointF to)
{
    if (from == to)
        return;
    rx = std::abs(rx);
    ry = std::abs(ry);
    if (rx == 0 || ry == 0) {
        path.lineTo(to);
        return;
    }
    const double phi = qDegreesToRadians(xAxisRotationDegrees);
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    // The mid-point in the ellipse's own axes.
    const double dx = (from.x() - to.x()) / 2;
    const double dy = (from.y() - to.y()) / 2;
    const double x1 = cosPhi * dx + sinPhi * dy;
    const double y1 = -sinPhi * dx + cosPhi * dy;
    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double numerator = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double denominator = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    double factor = denominator > 0 ? std::sqrt(std::max(0.0, numerator / denominator)) : 0;
    if (largeArc == sweep)
        factor = -factor;
    const double cxPrime = factor * rx * y1 / ry;
    const double cyPrime = -factor * ry * x1 / rx;
    const QPointF centre(cosPhi * cxPrime - sinPhi * cyPrime + (from.x() + to.x()) / 2,
                         sinPhi * cxPrime + cosPhi * cyPrime + (from.y() + to.y()) / 2);
    const auto angleOf = [](double ux, double uy) { return std::atan2(uy, ux); };
    const double theta1 = angleOf((x1 - cxPrime) / rx, (y1 - cyPrime) / ry);
    double delta = angleOf((-x1 - cxPrime) / rx, (-y1 - cyPrime) / ry) - theta1;
    if (sweep && delta < 0)
        delta += 2 * M_PI;
    else if (!sweep && delta > 0)
        delta -= 2 * M_PI;

    const int segments = std::max(1, int(std::ceil(std::abs(delta) / (M_PI / 2) - 1e-9)));
    const double step = delta / segments;
    const double arm = 4.0 / 3.0 * std::tan(step / 4);
    const auto onEllipse = [&](double t) {
        const double x = rx * std::cos(t);
        const double y = ry * std::sin(t);
        return QPointF(centre.x() + cosPhi * x - sinPhi * y, centre.y() + sinPhi * x + cosPhi * y);
    };
    const auto tangent = [&](double t) {
        const double x = -rx * std::sin(t);
        const double y = ry * std::cos(t);
        return QPointF(cosPhi * x - sinPhi * y, sinPhi * x + cosPhi * y);
    };
    double t = theta1;
    for (int i = 0; i < segments; ++i) {
        const double next = t + step;
        const QPointF end = i == segments - 1 ? to : onEllipse(next);
        path.cubicTo(onEllipse(t) + arm * tangent(t), end - arm * tangent(next), end);
        t = next;
    }
}

} // namespace platform
