#include "app/document/MapDocumentWindowController.h"

#include "platform/foundation/UserDefaults.h"

#include "app/application/MapMenuBar.h"
#include "app/commands/MapSearchToolBar.h"
#include "app/sidebar/TabControllerRegistry.h"
#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMainWindow>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int kSplitItemCount = 3;
constexpr double kZoomStep = 2.0;
// Side panels start this wide; the drawing takes the rest.
constexpr int kInitialSidePanelWidth = 240;
constexpr QSize kInitialWindowSize(1200, 800);

QWidget* sidePanel(SidebarTabView* tabView, const QString& name)
{
    QWidget* panel = tabView ? tabView->widget() : new QWidget;
    panel->setObjectName(name);
    panel->setMinimumWidth(0);
    return panel;
}

} // namespace

MapDocumentWindowController::MapDocumentWindowController() = default;

MapDocumentWindowController::~MapDocumentWindowController()
{
    for (const auto& [identifier, controller] : m_tabControllers)
        controller->setDrawing(nullptr);
    for (VLTMTabContentViewController* controller : tabViewControllers())
        controller->setDrawing(nullptr);
}

ZQQuorvaneDocument* MapDocumentWindowController::mapDocument() const
{
    return qobject_cast<ZQQuorvaneDocument*>(document());
}

QSplitter* MapDocumentWindowController::splitView() const
{
    return m_splitter;
}

VXDrawingView* MapDocumentWindowController::drawingView() const
{
    return m_drawingView;
}

QWidget* MapDocumentWindowController::leftSidePanel() const
{
    return m_splitter ? m_splitter->widget(LeftSidePanel) : nullptr;
}

QWidget* MapDocumentWindowController::rightSidePanel() const
{
    return m_splitter ? m_splitter->widget(RightSidePanel) : nullptr;
}

// --- Window ------------------------------------------------------------------------------------------

QWidget* MapDocumentWindowController::loadWindow()
{
    auto* window = new QMainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->resize(kInitialWindowSize);

    m_splitter = new QSplitter(Qt::Horizontal, window);
    m_splitter->setChildrenCollapsible(true);
    m_drawingView = new VXDrawingView;
    m_drawingView->setRulersVisible(true);
    m_drawingView->setCentresDrawing(!platform::UserDefaults::standardUserDefaults()->boolForKey(kCentreDocumentViewDefaultState));
    m_leftTabView = SidebarTabView::makeSidebarTabView();
    m_rightTabView = m_leftTabView ? SidebarTabView::makeSidebarTabView() : nullptr;
    m_splitter->addWidget(sidePanel(m_leftTabView.get(), QStringLiteral("leftSidePanel")));
    m_splitter->addWidget(m_drawingView);
    m_splitter->addWidget(sidePanel(m_rightTabView.get(), QStringLiteral("rightSidePanel")));
    m_splitter->setCollapsible(DrawingItem, false);
    m_splitter->setStretchFactor(DrawingItem, 1);
    const int drawingWidth = kInitialWindowSize.width() - 2 * kInitialSidePanelWidth;
    setSplitSizes({kInitialSidePanelWidth, drawingWidth, kInitialSidePanelWidth});

    connect(m_splitter, &QSplitter::splitterMoved, this, [this] {
        if (ZQQuorvaneDocument* document = mapDocument())
            document->windowStateDidChange();
    });
    window->setCentralWidget(m_splitter);
    window->setMenuBar(MapMenuBar::make(window));
    window->addToolBar(MapSearchToolBar::make(window));
    return window;
}

void MapDocumentWindowController::windowDidLoad()
{
    showDocumentDrawing();
    makeTabControllers();
    if (ZQQuorvaneDocument* document = mapDocument()) {
        document->makeTabViewControllers();
        document->windowControllerDidLoadWindow(this);
        if (document->library())
            document->updateTemporaryDocumentLibraryWithItems(document->allLibraryObjects());
        else
            document->makeTemporaryDocumentLibrary();
    }
}

void MapDocumentWindowController::setDocument(platform::Document* document)
{
    if (ZQQuorvaneDocument* previous = mapDocument(); previous && previous != document
        && previous->mainView() == m_drawingView)
        previous->setMainView(nullptr);
    WindowController::setDocument(document);
    showDocumentDrawing();
    giveTabsTheDocumentDrawing();
}

SidebarTabView* MapDocumentWindowController::sidebarTabView(SplitItem item) const
{
    return item == LeftSidePanel ? m_leftTabView.get() : item == RightSidePanel ? m_rightTabView.get() : nullptr;
}

QList<VLTMTabContentViewController*> MapDocumentWindowController::tabViewControllers() const
{
    QList<VLTMTabContentViewController*> controllers;
    for (const SidebarTabView* tabView : {m_leftTabView.get(), m_rightTabView.get()}) {
        for (qsizetype i = 0; tabView && i < tabView->numberOfTabs(); ++i)
            if (auto* controller = qobject_cast<VLTMTabContentViewController*>(tabView->tabAtIndex(i)->viewController()))
                controllers.append(controller);
    }
    return controllers;
}

void MapDocumentWindowController::makeTabControllers()
{
    // The document fills the tab views.
    if (!m_tabControllers.isEmpty() || m_leftTabView)
        return;
    for (const QString& identifier : TabControllerRegistry::tabIdentifiers()) {
        const TabControllerRegistry::Factory factory = TabControllerRegistry::classForTabControllerWithIdentifier(identifier);
        std::shared_ptr<VLTMTabContentViewController> controller = factory ? factory() : nullptr;
        if (!controller)
            continue;
        QWidget* panel = identifier == kVLTMTabViewStyle ? leftSidePanel() : rightSidePanel();
        if (!panel->layout())
            new QVBoxLayout(panel);
        panel->layout()->addWidget(controller->view());
        m_tabControllers.append({identifier, controller});
    }
    giveTabsTheDocumentDrawing();
}

void MapDocumentWindowController::giveTabsTheDocumentDrawing()
{
    const ZQQuorvaneDocument* document = mapDocument();
    VXDrawing* drawing = document && document->drawing() ? document->drawing().get() : nullptr;
    for (const auto& [identifier, controller] : m_tabControllers)
        controller->setDrawing(drawing);
    for (VLTMTabContentViewController* controller : tabViewControllers())
        controller->setDrawing(drawing);
}

VLTMTabContentViewController* MapDocumentWindowController::tabControllerWithIdentifier(const QString& identifier) const
{
    for (const SidebarTabView* tabView : {m_leftTabView.get(), m_rightTabView.get()})
        if (SidebarTab* tab = tabView ? tabView->tabWithIdentifier(identifier) : nullptr)
            return qobject_cast<VLTMTabContentViewController*>(tab->viewController());
    for (const auto& [tab, controller] : m_tabControllers)
        if (tab == identifier)
            return controller.get();
    return nullptr;
}

void MapDocumentWindowController::showDocumentDrawing()
{
    ZQQuorvaneDocument* document = mapDocument();
    if (document && m_drawingView)
        document->setMainView(m_drawingView);
}

// --- Split state -----------------------------------------------------------------------------------

QVariantList MapDocumentWindowController::splitState() const
{
    QVariantList sizes;
    if (m_splitter) {
        for (int size : splitSizes())
            sizes.append(size);
    }
    return sizes;
}

QList<int> MapDocumentWindowController::splitSizes() const
{
    // Until the window is first shown the splitter is a few pixels wide and answers sizes scaled down to that.
    return m_splitter->isVisible() || m_sizesBeforeShown.isEmpty() ? m_splitter->sizes() : m_sizesBeforeShown;
}

void MapDocumentWindowController::setSplitSizes(const QList<int>& sizes)
{
    m_splitter->setSizes(sizes);
    if (!m_splitter->isVisible())
        m_sizesBeforeShown = sizes;
}

bool MapDocumentWindowController::restoreSplitState(const QVariant& state)
{
    if (!m_splitter || state.metaType().id() != QMetaType::QVariantList)
        return false;
    const QVariantList values = state.toList();
    if (values.size() != kSplitItemCount)
        return false;
    QList<int> sizes;
    for (const QVariant& value : values) {
        bool isNumber = false;
        const qlonglong size = value.toLongLong(&isNumber);
        const int type = value.metaType().id();
        const bool numeric = type == QMetaType::LongLong || type == QMetaType::Int || type == QMetaType::Double;
        if (!numeric || !isNumber || size < 0 || size > QWIDGETSIZE_MAX)
            return false;
        sizes.append(int(size));
    }
    setSplitSizes(sizes);
    return true;
}

void MapDocumentWindowController::collapseSplitItem(SplitItem item)
{
    if (!m_splitter || item == DrawingItem)
        return;
    QList<int> sizes = splitSizes();
    sizes[DrawingItem] += sizes[item];
    sizes[item] = 0;
    setSplitSizes(sizes);
    if (ZQQuorvaneDocument* document = mapDocument())
        document->windowStateDidChange();
}

// --- Zoom --------------------------------------------------------------------------------------------

VXQMappingLayer* MapDocumentWindowController::scaleBarLayer() const
{
    const ZQQuorvaneDocument* document = mapDocument();
    const VXDrawing* drawing = document && document->drawing() ? document->drawing().get() : nullptr;
    VXQMappingLayer* layer = drawing ? drawing->activeLayerOfClass<VXQMappingLayer>() : nullptr;
    return layer && !layer->locked() ? layer : nullptr;
}

void MapDocumentWindowController::insertScaleBar(QObject*)
{
    if (VXQMappingLayer* layer = scaleBarLayer())
        layer->insertScaleBarInView(m_drawingView);
}

bool MapDocumentWindowController::validateMenuItem(platform::MenuItem* item)
{
    return item->action() != "insertScaleBar" || scaleBarLayer() != nullptr;
}

void MapDocumentWindowController::zoomIn(QObject*)
{
    if (m_drawingView)
        m_drawingView->setScale(m_drawingView->scale() * kZoomStep);
}

void MapDocumentWindowController::zoomOut(QObject*)
{
    if (m_drawingView)
        m_drawingView->setScale(m_drawingView->scale() / kZoomStep);
}

void MapDocumentWindowController::zoomToActualSize(QObject*)
{
    if (m_drawingView)
        m_drawingView->zoomViewToActualSize();
}

void MapDocumentWindowController::zoomFitInWindow(QObject*)
{
    if (m_drawingView)
        m_drawingView->zoomViewToFitInWindow();
}
