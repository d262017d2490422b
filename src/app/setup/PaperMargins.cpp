#include "app/setup/PaperMargins.h"

#include <QPageLayout>
#include <QRectF>
#include <algorithm>
#include <cmath>

namespace {

double margin(double inner, double outer)
{
    const double distance = inner - outer;
    return std::isfinite(distance) ? std::max(0.0, distance) : 0.0;
}

PageEdges edgesOf(const QRectF& rect)
{
    return {rect.top(), rect.left(), rect.bottom(), rect.right()};
}

} // namespace

QMarginsF paperMarginsForEdges(const PageEdges& paper, const PageEdges& page)
{
    return {margin(page.left, paper.left), margin(page.top, paper.top), margin(paper.right, page.right),
            margin(paper.bottom, page.bottom)};
}

QMarginsF paperMargins(const QPageLayout& layout)
{
    return paperMarginsForEdges(edgesOf(layout.fullRect(QPageLayout::Point)),
                                edgesOf(layout.paintRect(QPageLayout::Point)));
}
