#include "widgets/colour/ZQColourCell.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/graphics/ColourUtilities.h"
#include "widgets/colour/ColourSwatch.h"
#include "widgets/colour/ZQColourPickerView.h"
#include "widgets/colour/ZQWindowMenu.h"
#include "widgets/paint/CGShinyGradient.h"
#include "widgets/paint/KitImage.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr double kTriangleHeight = 4.0;

struct TrackingState {
    bool tracking = false;
    QColor colour;
};

TrackingState& trackingState()
{
    static TrackingState state;
    return state;
}

// One pop-up at a time: set for the scope, cleared on every way out.
class TrackingScope {
public:
    TrackingScope() { trackingState().tracking = true; }
    ~TrackingScope() { trackingState() = {}; }
    TrackingScope(const TrackingScope&) = delete;
    TrackingScope& operator=(const TrackingScope&) = delete;
};

QSizeF triangleSize(const KitImage& image)
{
    if (image.isNull() || image.size().height() <= 0)
        return {};
    return {image.size().width() * kTriangleHeight / image.size().height(), kTriangleHeight};
}

} // namespace

ZQColourCell::ZQColourCell(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

QColor ZQColourCell::trackingColour()
{
    return trackingState().colour;
}

void ZQColourCell::setTrackingColour(const QColor& colour)
{
    trackingState().colour = colour;
}

bool ZQColourCell::isTracking()
{
    return trackingState().tracking;
}

KitImage ZQColourCell::menuTriangleImageDark()
{
    return imageNamed(QStringLiteral("VL_Menu_Triangle"));
}

KitImage ZQColourCell::menuTriangleImageLight()
{
    return imageNamed(QStringLiteral("VL_Menu_Triangle_Light"));
}

QRectF ZQColourCell::swatchRectForFrame(const QRectF& frame)
{
    const double inset = frame.height() > 24 ? 5 : 1;
    QRectF capped = frame;
    capped.setWidth(std::min(frame.width(), kMaximumSwatchWidth));
    return capped.adjusted(4, inset, -4, -inset);
}

QRectF ZQColourCell::menuTriangleRectForSwatch(const QRectF& swatch)
{
    const QSizeF size = triangleSize(menuTriangleImageDark());
    return QRectF(QPointF(swatch.right() - 3 - size.width(), swatch.bottom() - 4 - size.height()), size);
}

void ZQColourCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool tracked = m_highlighted && index == m_trackedIndex;
    const QColor colour = tracked && trackingColour().isValid() ? trackingColour()
                                                                 : index.data(Qt::EditRole).value<QColor>();
    if (!isPickableColour(colour))
        return;
    const QRectF swatch = swatchRectForFrame(option.rect);
    painter->save();
    CGContextDrawShinyGradient(painter, swatch, colour, true);
    if (m_menuEnabled) {
        const KitImage triangle = platform::luminosity(colour) > 0.5 ? menuTriangleImageDark() : menuTriangleImageLight();
        if (!triangle.isNull())
            triangle.drawInRect(*painter, menuTriangleRectForSwatch(swatch), 0.85);
    }
    painter->setPen(QPen(m_menuEnabled ? Qt::gray : Qt::lightGray, 1.0));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(swatch.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

QSize ZQColourCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QStyledItemDelegate::sizeHint(option, index).expandedTo(QSize(int(kMaximumSwatchWidth), 20));
}

bool ZQColourCell::editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                               const QModelIndex& index)
{
    auto* view = qobject_cast<QAbstractItemView*>(const_cast<QWidget*>(option.widget));
    if (!view)
        return false;
    if (event->type() == QEvent::MouseButtonDblClick)
        return true; // never a pop-up, never an editor
    const bool press = event->type() == QEvent::MouseButtonPress
                       && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    const bool space = event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
    if (!press && !space)
        return false;
    return trackMouseInRectOfView(static_cast<QInputEvent*>(event), option.rect, view, index);
}

bool ZQColourCell::trackMouseInRectOfView(const QInputEvent* event, const QRect& frame, QAbstractItemView* view,
                                          const QModelIndex& index)
{
    if (isTracking() || !m_menuEnabled || !view || !index.isValid())
        return false;
    if (event && event->type() == QEvent::MouseButtonDblClick)
        return false;
    const TrackingScope scope;
    m_controlView = view;
    m_frame = frame;
    m_trackedIndex = index;
    if (!delegateAllowsTrackingInRow(index.row()))
        return false;

    m_highlighted = true;
    drawImmediately();
    auto* picker = new ZQColourPickerView;
    picker->resize(225, 225);
    picker->setMode(ZQColourPickerView::SwatchMode);
    picker->setColorForUndefinedSelection(index.data(Qt::EditRole).value<QColor>());
    picker->setTarget(this);
    picker->setAction("colourChangeFromPicker");
    picker->setShowsInfo(false);
    const QPoint anchor = view->viewport()->mapTo(view->window(), QPoint(frame.x() + 6, frame.y() + frame.height() - 5));

    const QPointer<ZQColourCell> self(this);
    ZQWindowMenu::popUpWindowMenuAtPointWithEventForView(ZQWindowMenu::windowMenuWithContentView(picker), anchor, event,
                                                         view->viewport());
    if (!self) // the cell went while the menu was up
        return true;
    m_highlighted = false;
    const QColor picked = trackingColour();
    if (isPickableColour(picked) && m_trackedIndex.isValid())
        const_cast<QAbstractItemModel*>(m_trackedIndex.model())->setData(m_trackedIndex, picked, Qt::EditRole);
    drawImmediately();
    m_trackedIndex = QPersistentModelIndex();
    return true;
}

void ZQColourCell::colourChangeFromPicker(QObject* picker)
{
    auto* view = qobject_cast<ZQColourPickerView*>(picker);
    if (!view || !isPickableColour(view->color()))
        return;
    setTrackingColour(view->color());
    drawImmediately();
}

bool ZQColourCell::delegateAllowsTrackingInRow(int row)
{
    const QMetaMethod ask = m_tableDelegate ? platform::findMethod(m_tableDelegate, "colourCellShouldBeginTrackingInRow", 2)
                                            : QMetaMethod();
    if (!ask.isValid())
        return true;
    return platform::invokeMethod(m_tableDelegate, ask, {QVariant::fromValue(this), row}).toBool();
}

void ZQColourCell::drawImmediately()
{
    if (m_controlView && m_trackedIndex.isValid())
        m_controlView->viewport()->update(m_controlView->visualRect(m_trackedIndex));
}
