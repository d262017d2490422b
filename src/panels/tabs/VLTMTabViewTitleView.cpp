#include "panels/tabs/VLTMTabViewTitleView.h"

#include "panels/tabs/TabButtonPainting.h"
#include "panels/tabs/VLTMDragTabProxy.h"
#include "panels/tabs/VLTMTabView.h"
#include "panels/tabs/VLTMTabViewModel.h"
#include "platform/ui/Menu.h"
#include "widgets/views/EffectAnimation.h"
#include "widgets/paint/ApplicationColours.h"

#include <QContextMenuEvent>
#include <QEasingCurve>
#include <QHelpEvent>
#include <QMimeData>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr double kThinLine = 0.25;
constexpr QSize kMenuIconSize(16, 16);

struct MenuEntry {
    const char* title;
    const char* action;
    int tag;
};

// The options, then the alignments (tag = alignment).
constexpr MenuEntry kStripMenuEntries[] = {
    {QT_TRANSLATE_NOOP("VLTMTabViewTitleView", "Icon and Text"), "iconAndTextAction", 0},
    {QT_TRANSLATE_NOOP("VLTMTabViewTitleView", "Icon Only"), "iconOnlyAction", 0},
    {QT_TRANSLATE_NOOP("VLTMTabViewTitleView", "Text Only"), "textOnlyAction", 0},
    {nullptr, nullptr, 0},
    {QT_TRANSLATE_NOOP("VLTMTabViewTitleView", "Centred"), "tabAlignmentAction", 0},
    {QT_TRANSLATE_NOOP("VLTMTabViewTitleView", "Left"), "tabAlignmentAction", 1},
    {QT_TRANSLATE_NOOP("VLTMTabViewTitleView", "Right"), "tabAlignmentAction", 2},
    {QT_TRANSLATE_NOOP("VLTMTabViewTitleView", "Justified"), "tabAlignmentAction", 3},
};

} // namespace

VLTMTabViewTitleView::VLTMTabViewTitleView(VLTMTabView& parentView)
    : QWidget(&parentView)
    , m_parentView(parentView)
{
    setObjectName(QStringLiteral("tabStrip"));
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

VLTMTabViewTitleView::~VLTMTabViewTitleView() = default;

void VLTMTabViewTitleView::glideToNewPlaces()
{
    delete m_glide;
    m_glideStarts = m_shownRects;
    m_glideProgress = 0.0;
    if (m_glideStarts.isEmpty())
        return;
    m_glide = new EffectAnimation(this, EffectAnimation::kDefaultDuration, [this](double fraction) {
        m_glideProgress = QEasingCurve(QEasingCurve::InOutQuad).valueForProgress(fraction);
        update();
    }, [this] { m_glideStarts.clear(); });
}

QRectF VLTMTabViewTitleView::shownRectOfTabAtIndex(qsizetype index) const
{
    const QRectF place = m_parentView.rectOfTabAtIndex(index);
    const auto start = m_glideStarts.constFind(m_parentView.model().tabAtIndex(index));
    if (start == m_glideStarts.cend())
        return place;
    const double t = m_glideProgress;
    return QRectF(start->topLeft() + (place.topLeft() - start->topLeft()) * t,
                  start->size() + (place.size() - start->size()) * t);
}

// --- Drawing -----------------------------------------------------------------------------------

void VLTMTabViewTitleView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), VLTMUnderpageBackgroundColour());
    painter.setRenderHint(QPainter::Antialiasing);
    const VLTMTabViewModel& model = m_parentView.model();
    QList<QRectF> rects;
    m_shownRects.clear();
    for (qsizetype i = 0; i < model.numberOfTabs(); ++i) {
        rects << shownRectOfTabAtIndex(i);
        m_shownRects.insert(model.tabAtIndex(i), rects.last());
    }
    const auto drawable = [&](qsizetype i) {
        const VLTMTabContentView* tab = model.tabAtIndex(i);
        return !qobject_cast<const VLTMDragTabProxy*>(tab) && tab != model.draggingView();
    };
    for (qsizetype i = 0; i < rects.size(); ++i)
        if (i != model.currentTab() && drawable(i))
            tabbutton::drawTab(painter, *model.tabAtIndex(i), rects[i]);
    if (model.currentTab() < rects.size() && drawable(model.currentTab()))
        tabbutton::drawTab(painter, *model.selectedTab(), rects[model.currentTab()]);
    drawBottomLine(painter);
}

void VLTMTabViewTitleView::drawBottomLine(QPainter& painter)
{
    const VLTMTabViewModel& model = m_parentView.model();
    const double y = height() - 0.5;
    const QPen thin(VLTMControlFrameColour(), kThinLine);
    const VLTMTabContentView* current = model.selectedTab();
    // The tab being dragged out leaves the line whole; a placeholder opens it.
    if (!current || (current == model.draggingView() && !model.hasExternalDrag())) {
        painter.setPen(thin);
        painter.drawLine(QPointF(0, y), QPointF(width(), y));
        return;
    }
    const QRectF tab = m_parentView.rectOfTabAtIndex(model.currentTab());
    const double left = tab.left() + 1.5;
    const double right = tab.right() - 0.5;
    painter.setPen(thin);
    painter.drawLine(QPointF(0, y), QPointF(left, y));
    painter.drawLine(QPointF(right, y), QPointF(width(), y));
    painter.setPen(QPen(VLTMWindowBackgroundColour(), 1.0));
    painter.drawLine(QPointF(left, y), QPointF(right, y));
}

bool VLTMTabViewTitleView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const qsizetype index = m_parentView.indexOfTabContainingPoint(help->pos());
        if (const VLTMTabContentView* tab = m_parentView.model().tabAtIndex(index))
            QToolTip::showText(help->globalPos(), tab->toolTipText(), this, m_parentView.rectOfTabAtIndex(index).toRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

// --- Menu --------------------------------------------------------------------------------------

platform::Menu* VLTMTabViewTitleView::makeMenu()
{
    auto* menu = new platform::Menu;
    VLTMTabViewModel& model = m_parentView.model();
    for (const MenuEntry& entry : kStripMenuEntries) {
        if (!entry.title) {
            menu->addSeparator();
            continue;
        }
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(tr(entry.title), entry.action);
        item->setTag(entry.tag);
        item->setTarget(&model);
    }
    if (m_parentView.addTabTitlesToMenu() && model.numberOfTabs() > 0) {
        menu->addSeparator();
        for (const VLTMTabContentViewPtr& tab : model.tabViews()) {
            platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(tab->title(), "selectTabWithName");
            item->setTarget(&model);
            item->setIcon(QIcon(tab->icon().pixmap(kMenuIconSize)));
        }
    }
    return menu;
}

void VLTMTabViewTitleView::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<platform::Menu> menu(makeMenu());
    menu->exec(event->globalPos());
}

// --- Dropping ----------------------------------------------------------------------------------

bool VLTMTabViewTitleView::acceptsDrag(const QMimeData* data, QObject* source) const
{
    if (!m_parentView.allowsTabDragging() || !data || !data->hasFormat(kVLTMTabViewPasteboardType))
        return false;
    auto* sender = qobject_cast<VLTMTabView*>(source);
    // Tabs leave no data on the pasteboard: only a tab view of this program can be the source.
    if (!sender || !sender->model().draggingView())
        return false;
    return !m_parentView.dragsLimitedToSameWindow() || sender->window() == window();
}

bool VLTMTabViewTitleView::tabDragEntered(const QMimeData* data, QObject* source, const QPointF& point)
{
    if (!acceptsDrag(data, source))
        return false;
    auto* sender = static_cast<VLTMTabView*>(source);
    if (sender == &m_parentView)
        return true;
    VLTMTabViewModel& senderModel = sender->model();
    const qsizetype index = senderModel.indexOfTab(senderModel.draggingView());
    if (index == VLTMTabViewModel::NotFound)
        return false;
    const qsizetype hit = m_parentView.indexOfTabContainingPoint(point);
    auto proxy = std::make_shared<VLTMDragTabProxy>(senderModel.tabViews().at(index));
    m_parentView.model().insertTabViewProxy(proxy, hit < 0 ? m_parentView.model().numberOfTabs() : hit);
    return true;
}

bool VLTMTabViewTitleView::tabDragMoved(const QMimeData* data, QObject* source, const QPointF& point)
{
    if (!acceptsDrag(data, source))
        return false;
    m_parentView.moveCurrentTabWithPoint(point);
    return true;
}

void VLTMTabViewTitleView::tabDragExited()
{
    m_parentView.model().removeTabViewProxyIfNeeded();
}

bool VLTMTabViewTitleView::tabDropped(const QMimeData* data)
{
    if (!data || !data->hasFormat(kVLTMTabViewPasteboardType))
        return false;
    m_parentView.model().importTabViewProxy();
    return true;
}

void VLTMTabViewTitleView::dragEnterEvent(QDragEnterEvent* event)
{
    if (tabDragEntered(event->mimeData(), event->source(), event->position())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void VLTMTabViewTitleView::dragMoveEvent(QDragMoveEvent* event)
{
    if (tabDragMoved(event->mimeData(), event->source(), event->position())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void VLTMTabViewTitleView::dragLeaveEvent(QDragLeaveEvent*)
{
    tabDragExited();
}

void VLTMTabViewTitleView::dropEvent(QDropEvent* event)
{
    if (acceptsDrag(event->mimeData(), event->source()) && tabDropped(event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        tabDragExited();
        event->ignore();
    }
}
