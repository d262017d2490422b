// Reordering hosted containers by dragging their title bars, within a container and between
// containers of one window.

#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ZQOneShotEffectTimer.h"

#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QScrollArea>

namespace {

constexpr double kMoveDuration = 0.2;
constexpr int kAutoscrollMargin = 20;

QPointer<ZQCollapsibleContainerView>& draggingViewSlot()
{
    static QPointer<ZQCollapsibleContainerView> view;
    return view;
}

// However a drag ends, the class forgets its dragging view.
struct DraggingViewReset {
    ~DraggingViewReset() { ZQCollapsibleContainerView::setDraggingView(nullptr); }
};

bool carriesInternalType(const QMimeData* data)
{
    return data && data->hasFormat(platform::mimeTypeForPasteboardType(ZQCollapsibleContainerView::kInternalDragType));
}

} // namespace

ZQCollapsibleContainerView* ZQCollapsibleContainerView::draggingView()
{
    return draggingViewSlot();
}

void ZQCollapsibleContainerView::setDraggingView(ZQCollapsibleContainerView* view)
{
    draggingViewSlot() = view;
}

void ZQCollapsibleContainerView::dragViewTitleBar()
{
    if (m_parentContainerView && m_parentContainerView->allowsReordering())
        m_parentContainerView->dragContainerSubview(this);
}

void ZQCollapsibleContainerView::dragContainerSubview(ZQCollapsibleContainerView* view)
{
    DraggingViewReset reset;
    setDraggingView(view);
    const QPixmap image = view->grab();
    auto* data = new QMimeData;
    platform::Pasteboard pasteboard(data);
    pasteboard.declareTypes({kInternalDragType});
    pasteboard.setStringForType(QStringLiteral("A"), kInternalDragType);
    const QPoint grabbedAt = view->mapFromGlobal(QCursor::pos());
    view->hide();

    const QPointer<ZQCollapsibleContainerView> self(this);
    const QPointer<ZQCollapsibleContainerView> dragged(view);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(image);
    drag->setHotSpot(grabbedAt);
    const Qt::DropAction operation = drag->exec(Qt::MoveAction);
    if (dragged)
        dragged->show();
    if (self)
        draggingSessionEnded(operation);
}

void ZQCollapsibleContainerView::draggingSessionEnded(Qt::DropAction operation)
{
    if (operation == Qt::IgnoreAction)
        arrangeSubviewsWithAnimation(true);
}

ZQCollapsibleContainerView* ZQCollapsibleContainerView::dragSource() const
{
    ZQCollapsibleContainerView* view = draggingView();
    return view ? view->parentContainerView() : nullptr;
}

bool ZQCollapsibleContainerView::canAcceptDragFrom(const ZQCollapsibleContainerView* source) const
{
    if (!source)
        return false;
    if (source == this)
        return true;
    if (!m_allowsDragsFromOtherViews)
        return false;
    return source->metaObject()->inherits(metaObject()) && source->window() == window();
}

bool ZQCollapsibleContainerView::isAcceptableDrag() const
{
    return canAcceptDragFrom(dragSource());
}

bool ZQCollapsibleContainerView::draggingEntered()
{
    ZQCollapsibleContainerView* source = dragSource();
    if (source != this) {
        if (!isAcceptableDrag()) {
            setHighlightForDrag(false);
            return false;
        }
        setFrameSize(QSize(width(), height() + draggingView()->height()));
    }
    setHighlightForDrag(true);
    return true;
}

bool ZQCollapsibleContainerView::draggingUpdated(const QPointF& location)
{
    if (!isAcceptableDrag())
        return false;
    // Near the edges of the part in view, so a stack taller than its scroll view scrolls too.
    const QRect visible = visibleRectInScrollArea();
    if (location.y() < visible.top() + kAutoscrollMargin)
        scrollRectToVisible(QRect(0, visible.top() - kAutoscrollMargin, 1, 1));
    else if (location.y() > visible.bottom() - kAutoscrollMargin)
        scrollRectToVisible(QRect(0, visible.bottom() + kAutoscrollMargin, 1, 1));
    m_insertionIndex = arrangeSubviewsForDraggingLocation(location - QPointF(m_contentView->pos()),
                                                          draggingView()->height(), dragSource() != this);
    return true;
}

QScrollArea* ZQCollapsibleContainerView::enclosingScrollArea() const
{
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        auto* scrollArea = qobject_cast<QScrollArea*>(ancestor);
        QWidget* document = scrollArea ? scrollArea->widget() : nullptr;
        if (document && (document == this || document->isAncestorOf(this)))
            return scrollArea;
    }
    return nullptr;
}

QRect ZQCollapsibleContainerView::visibleRectInScrollArea() const
{
    const QScrollArea* scrollArea = enclosingScrollArea();
    if (!scrollArea)
        return rect();
    const QWidget* viewport = scrollArea->viewport();
    return rect() & QRect(mapFrom(viewport, QPoint(0, 0)), viewport->size());
}

void ZQCollapsibleContainerView::scrollRectToVisible(const QRect& rect)
{
    if (QScrollArea* scrollArea = enclosingScrollArea()) {
        const QPoint point = mapTo(scrollArea->widget(), rect.topLeft());
        scrollArea->ensureVisible(point.x(), point.y(), 0, 0);
    }
}

int ZQCollapsibleContainerView::arrangeSubviewsForDraggingLocation(const QPointF& location, double space, bool)
{
    int result = kNotFound;
    double y = 0;
    const QList<QWidget*> views = hostedViews();
    for (int i = 0; i < views.size(); ++i) {
        QWidget* view = views[i];
        if (view->isHidden())
            continue;
        QRect frame = view->geometry();
        if (result == kNotFound && QRectF(frame).center().y() > location.y() && i >= m_ignoredViewCount) {
            frame.moveTop(qRound(y + m_contentSeparator + space));
            result = i;
        } else {
            frame.moveTop(qRound(y));
        }
        if (i >= m_ignoredViewCount) {
            if (isContainer(view))
                static_cast<ZQCollapsibleContainerView*>(view)->setAnimatedFrame(frame);
            else
                view->setGeometry(frame);
        }
        y = frame.y() + frame.height() + m_contentSeparator;
    }
    return result;
}

void ZQCollapsibleContainerView::draggingExited()
{
    if (isAcceptableDrag() && dragSource() != this)
        arrangeSubviewsWithAnimation(true);
    setHighlightForDrag(false);
}

bool ZQCollapsibleContainerView::prepareForDragOperation()
{
    setHighlightForDrag(false);
    ZQCollapsibleContainerView* source = dragSource();
    if (!isAcceptableDrag())
        return false;
    if (source != this)
        return true;
    const int index = hostedViews().indexOf(draggingView());
    if (index < 0 || (m_insertionIndex != kNotFound && index == m_insertionIndex - 1)) {
        draggingExited();
        arrangeSubviews();
        return false;
    }
    return true;
}

bool ZQCollapsibleContainerView::performDragOperation()
{
    const QPointer<ZQCollapsibleContainerView> view = draggingView();
    setDraggingView(nullptr);
    if (!view || !view->parentContainerView())
        return false;
    ZQCollapsibleContainerView* source = view->parentContainerView();
    if (source != this) {
        if (!canAcceptDragFrom(source))
            return false;
        if (m_insertionIndex == kNotFound)
            m_insertionIndex = m_ignoredViewCount;
        QVariant accepted;
        if (sendToDelegate("containerViewWillAcceptDroppedViewAtIndex",
                           {QVariant::fromValue<QObject*>(this), QVariant::fromValue<QObject*>(view.data()),
                            m_insertionIndex - m_ignoredViewCount},
                           &accepted)
            && !accepted.toBool())
            return true;
        source->removeViewFromContent(view);
        addViewToContent(view);
    }
    QList<QPointer<QWidget>> views;
    for (QWidget* hosted : hostedViews())
        views.append(hosted);
    const int index = views.indexOf(view.data());
    if (!ZQ_EXPECT(index >= 0, QStringLiteral("bad state: dragging view is not among the subviews")))
        return false;
    int insertion = m_insertionIndex == kNotFound ? int(views.size()) : m_insertionIndex;
    if (index < insertion)
        --insertion;
    m_insertionIndex = kNotFound;
    if (index == insertion)
        return false;
    views.move(index, insertion);
    m_hostedViews = views;
    arrangeSubviews();
    notifyConfigurationChange();
    sendToDelegate("containerViewDidMoveSubviewToIndex",
                   {QVariant::fromValue<QObject*>(this), QVariant::fromValue<QObject*>(view.data()),
                    insertion - m_ignoredViewCount});
    return true;
}

// --- Animated moves --------------------------------------------------------------------------

void ZQCollapsibleContainerView::setAnimatedFrame(const QRect& rect)
{
    if (!m_changingFrame && rect != geometry()) {
        m_sourceFrame = geometry();
        ZQOneShotEffectTimer::oneShotWithTimeForDelegate(kMoveDuration, this);
        m_changingFrame = true;
    }
    m_destinationFrame = rect;
}

void ZQCollapsibleContainerView::oneShotHasReached(double t)
{
    const auto mix = [t](int from, int to) { return qRound(from + (to - from) * t); };
    const QPoint origin(mix(m_sourceFrame.x(), m_destinationFrame.x()), mix(m_sourceFrame.y(), m_destinationFrame.y()));
    if (origin != pos())
        move(origin);
}

void ZQCollapsibleContainerView::oneShotComplete()
{
    m_changingFrame = false;
    move(m_destinationFrame.topLeft());
}

// --- Qt's drag events ------------------------------------------------------------------------

void ZQCollapsibleContainerView::dragEnterEvent(QDragEnterEvent* event)
{
    if (carriesInternalType(event->mimeData()) && draggingEntered()) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ZQCollapsibleContainerView::dragMoveEvent(QDragMoveEvent* event)
{
    if (carriesInternalType(event->mimeData()) && draggingUpdated(event->position())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ZQCollapsibleContainerView::dragLeaveEvent(QDragLeaveEvent*)
{
    draggingExited();
}

void ZQCollapsibleContainerView::dropEvent(QDropEvent* event)
{
    if (carriesInternalType(event->mimeData()) && prepareForDragOperation() && performDragOperation()) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}
