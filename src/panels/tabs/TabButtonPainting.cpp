#include "panels/tabs/TabButtonPainting.h"

#include "panels/tabs/VLTMTabContentView.h"
#include "platform/graphics/BezierPath.h"
#include "widgets/paint/ApplicationColours.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace tabbutton {

namespace {

constexpr double kSideInset = 7.0;
constexpr double kIconInset = 2.0;
constexpr double kCornerRadius = 3.0;
constexpr double kFrameWidth = 0.25;
constexpr double kBackgroundAngle = -90.0;

const platform::Gradient* backgroundForState(int state)
{
    switch (state) {
    case VLTMTabContentView::Selected:
    case VLTMTabContentView::SelectedHighlighted:
        return &VLTMSelectedControlGradient();
    case VLTMTabContentView::Highlighted:
        return &VLTMHighlightedControlGradient();
    case VLTMTabContentView::Normal:
        return &VLTMUnselectedControlGradient();
    default:
        return nullptr;
    }
}

} // namespace

Layout layoutOfTab(const VLTMTabContentView& tab, const QRectF& buttonRect)
{
    Layout layout;
    QRectF rest = buttonRect.adjusted(kSideInset, 0, -kSideInset, 0);
    const bool titleShown = !tab.title().isEmpty() && tab.titleVisible();
    if (!tab.icon().isNull() && tab.iconVisible()) {
        QRectF icon = rest.adjusted(kIconInset, kIconInset, -kIconInset, -kIconInset);
        icon.setWidth(icon.height());
        icon.moveTop(std::ceil(rest.center().y() - icon.height() / 2.0) + 1.0);
        if (!titleShown)
            icon.moveLeft(std::floor(rest.center().x() - icon.width() / 2.0));
        rest.setLeft(rest.left() + icon.width() + kSideInset);
        layout.iconRect = icon;
    }
    if (titleShown) {
        const double height = QFontMetricsF(VLTMTabContentView::defaultTitleFont()).height();
        rest.setTop(std::floor(buttonRect.center().y() - height / 2.0) + 1.5);
        rest.setLeft(std::floor(rest.left()) + 0.5);
        rest.setHeight(height);
        layout.titleRect = rest;
    }
    return layout;
}

void drawTabBackground(QPainter& painter, const QRectF& rect, int state)
{
    // Reaches past the bottom, so the button has no bottom edge.
    const QRectF outline(rect.x() + 0.5, rect.y() + 0.5, rect.width() - 1.0, rect.height() + 2.5);
    const QPainterPath path = platform::BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(
                                  outline, kCornerRadius, platform::kRoundedCornerMinXMinY | platform::kRoundedCornerMaxXMinY)
                                  .painterPath();
    painter.save();
    if (const platform::Gradient* gradient = backgroundForState(state))
        painter.fillPath(path, gradient->linearGradientInRect(outline, kBackgroundAngle));
    painter.setPen(QPen(VLTMControlFrameColour(), kFrameWidth));
    painter.drawPath(path);
    painter.restore();
}

void drawTab(QPainter& painter, const VLTMTabContentView& tab, const QRectF& rect)
{
    drawTabBackground(painter, rect, tab.state());
    const Layout layout = layoutOfTab(tab, rect);
    if (!layout.iconRect.isEmpty()) {
        const QIcon icon = tab.isSelected() ? tab.selectedIcon() : tab.icon();
        icon.paint(&painter, layout.iconRect.toAlignedRect());
    }
    if (!layout.titleRect.isEmpty()) {
        painter.save();
        painter.setFont(VLTMTabContentView::defaultTitleFont());
        painter.setPen(tab.isSelected() ? VLTMTitleTextColour() : VLTMUnselectedTitleTextColour());
        const QString title = QFontMetricsF(painter.font()).elidedText(tab.title(), Qt::ElideRight, layout.titleRect.width());
        painter.drawText(layout.titleRect, Qt::AlignHCenter | Qt::AlignTop, title);
        painter.restore();
    }
}

} // namespace tabbutton
