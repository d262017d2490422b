#include "panels/tabs/TabStripGeometry.h"

#include <algorithm>
#include <cmath>

namespace tabstrip {

namespace {

constexpr double kTopInset = 3.0;
constexpr double kHeightInset = 4.0;
constexpr double kMinimumWidthOverHeight = 14.0 - 5.0;

} // namespace

QList<QRectF> tabRects(const QRectF& frame, const QList<double>& neededWidths, int alignment)
{
    const qsizetype count = neededWidths.size();
    QList<QRectF> rects;
    if (count == 0)
        return rects;
    rects.reserve(count);

    const double maximum = std::floor(frame.width() / double(count)) + 1.0;
    const double minimum = frame.height() + kMinimumWidthOverHeight;
    const bool justified = alignment == Justified;

    double x = frame.x();
    if (alignment != Left && !justified) {
        // The centring counts the widths before narrow tabs are widened to the minimum.
        double needed = 0;
        for (double width : neededWidths)
            needed += std::min(width, maximum);
        const double free = std::ceil(frame.width() - needed) + double(count) - 1.0;
        if (free > 0)
            x += alignment == Centred ? std::floor(free / 2.0) : free;
    }

    for (qsizetype i = 0; i < count; ++i) {
        double width = justified ? std::max(minimum, maximum) : std::max(std::min(neededWidths[i], maximum), minimum);
        if (justified && i == count - 1)
            width = std::max(frame.x() + frame.width() - x, minimum);
        rects.append(QRectF(x, frame.y() + kTopInset, width, frame.height() - kHeightInset));
        x += width - 1.0;
    }
    return rects;
}

QRectF rectOfTabAtIndex(const QRectF& frame, const QList<double>& neededWidths, int alignment, qsizetype index)
{
    if (index < 0 || index >= neededWidths.size())
        return {};
    return tabRects(frame, neededWidths, alignment).at(index);
}

qsizetype indexOfTabContainingPoint(const QList<QRectF>& rects, const QPointF& point)
{
    for (qsizetype i = 0; i < rects.size(); ++i)
        if (rects[i].contains(point))
            return i;
    return -1;
}

} // namespace tabstrip
