#include "panels/tabs/VLTMTabView.h"

#include "panels/tabs/TabButtonPainting.h"
#include "panels/tabs/TabStripGeometry.h"
#include "panels/tabs/VLTMTabViewModel.h"
#include "panels/tabs/VLTMTabViewTitleView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/ViewController.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/KitImage.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedLayout>
#include <cmath>

namespace {

const QByteArray kDragStartKey = QByteArrayLiteral("beginTabDrag");
constexpr double kEmptyImageTop = 40.0;

VLTMTabView::DragRunner& dragRunner()
{
    static VLTMTabView::DragRunner runner;
    return runner;
}

} // namespace

VLTMTabView::VLTMTabView(VLTMTabViewModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(&model)
    , m_strip(new VLTMTabViewTitleView(*this))
    , m_panelArea(new QWidget(this))
    , m_panels(new QStackedLayout(m_panelArea))
{
    setObjectName(QStringLiteral("sidebarTabView"));
    m_model->setWidget(this);
    m_panels->addWidget(new QWidget); // shown while no tab is current
    connect(m_model, &VLTMTabViewModel::tabsChanged, this, &VLTMTabView::tabsDidChange);
    connect(m_model, &VLTMTabViewModel::appearanceChanged, this, &VLTMTabView::tabsDidChange);
    layOutChildren();
    tabsDidChange();
}

VLTMTabView::~VLTMTabView()
{
    platform::RunLoop::cancelPreviousPerformRequests(this);
    if (m_model->widget() == this)
        m_model->setWidget(nullptr);
}

std::unique_ptr<SidebarTabView> VLTMTabView::makeSidebarTabView()
{
    auto model = std::make_unique<VLTMTabViewModel>();
    new VLTMTabView(*model);
    return model;
}

void VLTMTabView::setDragRunnerForTesting(DragRunner runner)
{
    dragRunner() = std::move(runner);
}

// --- Geometry ----------------------------------------------------------------------------------

QRectF VLTMTabView::tabsRect() const
{
    return QRectF(0, 0, width(), VLTMTabViewTitleView::kStripHeight);
}

QList<QRectF> VLTMTabView::tabRects() const
{
    QList<double> widths;
    for (const VLTMTabContentViewPtr& tab : m_model->tabViews())
        widths << tab->widthNeededForTab();
    return tabstrip::tabRects(tabsRect(), widths, m_model->tabAlignment());
}

QRectF VLTMTabView::rectOfTabAtIndex(qsizetype index) const
{
    const QList<QRectF> rects = tabRects();
    return index >= 0 && index < rects.size() ? rects[index] : QRectF();
}

qsizetype VLTMTabView::indexOfTabContainingPoint(const QPointF& point) const
{
    return tabstrip::indexOfTabContainingPoint(tabRects(), point);
}

void VLTMTabView::resizeEvent(QResizeEvent*)
{
    layOutChildren();
}

QSize VLTMTabView::minimumSizeHint() const
{
    return {m_panels->minimumSize().width(), VLTMTabViewTitleView::kStripHeight};
}

bool VLTMTabView::event(QEvent* event)
{
    // A panel's controls changed size: the splitter holding this view asks again.
    if (event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QWidget::event(event);
}

void VLTMTabView::layOutChildren()
{
    m_strip->setGeometry(0, 0, width(), VLTMTabViewTitleView::kStripHeight);
    m_panelArea->setGeometry(0, VLTMTabViewTitleView::kStripHeight, width(),
                             std::max(0, height() - VLTMTabViewTitleView::kStripHeight));
}

// --- Following the model -----------------------------------------------------------------------

void VLTMTabView::tabsDidChange()
{
    for (const VLTMTabContentViewPtr& tab : m_model->tabViews()) {
        // A tab's appearance (title, icon, state) repaints the strip.
        connect(tab.get(), &VLTMTabContentView::appearanceChanged, m_strip, qOverload<>(&QWidget::update),
                Qt::UniqueConnection);
    }
    showCurrentPanel();
    m_strip->glideToNewPlaces();
    m_strip->update();
    update();
}

void VLTMTabView::showCurrentPanel()
{
    QList<QWidget*> hosted;
    for (const VLTMTabContentViewPtr& tab : m_model->tabViews()) {
        platform::ViewController* controller = tab->viewController();
        if (!controller)
            continue;
        hosted << controller->view();
        if (m_panels->indexOf(controller->view()) < 0)
            m_panels->addWidget(controller->view());
    }
    // Panels of tabs that left: a live controller takes its view back, a dead one's goes.
    for (int i = m_panels->count() - 1; i > 0; --i) {
        QWidget* view = m_panels->widget(i);
        if (hosted.contains(view))
            continue;
        m_panels->removeWidget(view);
        if (platform::ViewController::controllerForView(view))
            view->setParent(nullptr);
        else
            view->deleteLater();
    }
    const VLTMTabContentView* current = m_model->selectedTab();
    platform::ViewController* controller = current ? current->viewController() : nullptr;
    m_panels->setCurrentIndex(controller ? m_panels->indexOf(controller->view()) : 0);
}

void VLTMTabView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), VLTMWindowBackgroundColour());
    if (m_model->numberOfTabs() > 0)
        return;
    const KitImage empty = imageNamed(QStringLiteral("empty_tab_view_image"));
    if (empty.isNull())
        return;
    const QSizeF size = empty.size();
    empty.drawInRect(painter, QRectF(std::round((width() - size.width()) / 2.0), kEmptyImageTop, size.width(), size.height()));
}

// --- Mouse -------------------------------------------------------------------------------------

void VLTMTabView::mousePressEvent(QMouseEvent* event)
{
    m_trackingIndex = -1;
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const qsizetype index = indexOfTabContainingPoint(event->position());
    if (index < 0)
        return;
    m_trackingIndex = index;
    m_pressPoint = event->position();
    if (platform::modifierFlagsFromQt(event->modifiers()) & platform::CommandKeyMask) {
        beginTabDrag();
        return;
    }
    if (index != m_model->currentTab())
        m_model->tabAtIndex(index)->setHighlighted(true);
    if (m_allowsTabDragging)
        platform::RunLoop::performAfterDelay(this, [this] { beginTabDrag(); }, kDragDelay, kDragStartKey);
}

void VLTMTabView::mouseMoveEvent(QMouseEvent* event)
{
    VLTMTabContentView* tab = m_model->tabAtIndex(m_trackingIndex);
    if (!tab)
        return;
    const bool inside = rectOfTabAtIndex(m_trackingIndex).contains(event->position());
    tab->setHighlighted(inside && m_trackingIndex != m_model->currentTab());
    if (!inside)
        cancelDragStart();
}

void VLTMTabView::mouseReleaseEvent(QMouseEvent* event)
{
    cancelDragStart();
    VLTMTabContentView* tab = m_model->tabAtIndex(m_trackingIndex);
    if (!tab)
        return;
    const qsizetype index = m_trackingIndex;
    m_trackingIndex = -1;
    tab->setHighlighted(false);
    if (rectOfTabAtIndex(index).contains(event->position()))
        m_model->setCurrentTab(index);
}

void VLTMTabView::cancelDragStart()
{
    platform::RunLoop::cancelPreviousPerformRequests(this, kDragStartKey);
}

// --- Dragging out ------------------------------------------------------------------------------

void VLTMTabView::beginTabDrag()
{
    cancelDragStart();
    if (m_trackingIndex < 0 || m_trackingIndex >= m_model->numberOfTabs())
        return;
    const qsizetype startIndex = m_trackingIndex;
    m_model->setCurrentTab(startIndex);
    VLTMTabContentViewPtr tab = m_model->tabViews().at(startIndex);
    tab->setHighlighted(false);
    const QPixmap image = dragImageOfTab(startIndex);
    m_model->setDraggingView(tab);
    m_strip->update();
    endTabDrag(runDrag(image), startIndex);
}

QPixmap VLTMTabView::dragImageOfTab(qsizetype index)
{
    QPixmap image(size() * devicePixelRatioF());
    image.setDevicePixelRatio(devicePixelRatioF());
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QRect content = m_panelArea->geometry();
    painter.fillRect(content, VLTMWindowBackgroundColour());
    m_panelArea->render(&painter, content.topLeft(), QRegion(), QWidget::DrawChildren);
    painter.setPen(QPen(Qt::black, 0.5));
    painter.drawRect(QRectF(content).adjusted(0.25, 0.25, -0.25, -0.25));
    // The picked-up button alone: the others stay behind in the strip.
    painter.setClipRect(tabsRect().adjusted(0, -1, 0, 0));
    tabbutton::drawTab(painter, *m_model->tabViews().at(index), rectOfTabAtIndex(index));
    return image;
}

bool VLTMTabView::runDrag(const QPixmap& image)
{
    if (dragRunner())
        return dragRunner()(*this, image);
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    // The item carries no tab: the receiving strip asks the drag's source.
    data->setData(kVLTMTabViewPasteboardType, kVLTMTabViewPasteboardType.toUtf8());
    drag->setMimeData(data);
    drag->setPixmap(image);
    drag->setHotSpot(m_pressPoint.toPoint());
    return drag->exec(Qt::MoveAction) == Qt::MoveAction;
}

void VLTMTabView::endTabDrag(bool moved, qsizetype startIndex)
{
    // A drag that ended in no move puts the tab back where it was picked up.
    if (!moved) {
        const qsizetype index = m_model->indexOfTab(m_model->draggingView());
        if (index != VLTMTabViewModel::NotFound)
            m_model->moveTabAtIndex(index, startIndex);
    }
    m_model->setDraggingView(nullptr);
    m_trackingIndex = -1;
    m_strip->update();
}

// --- Reordering --------------------------------------------------------------------------------

void VLTMTabView::moveCurrentTabWithPoint(const QPointF& point)
{
    const qsizetype current = m_model->currentTab();
    const QList<QRectF> rects = tabRects();
    for (qsizetype i = 0; i < rects.size(); ++i) {
        if (!rects[i].contains(point))
            continue;
        const bool passesLeft = i < current && point.x() < rects[i].center().x();
        const bool passesRight = i > current && current != VLTMTabViewModel::NotFound && point.x() > rects[i].center().x();
        if (passesLeft || passesRight) {
            m_model->moveTabAtIndex(current, i);
            return;
        }
    }
}
