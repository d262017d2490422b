#include "app/MapDocumentWindowController.h"

#include "app/MapMenuBar.h"
#include "app/MapSearchToolBar.h"
#include "app/TabControllerRegistry.h"
#include "app/VXQMappingLayer.h"
#include "app/ZQQuorvaneDocument.h"
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

QWidget* makeSidePanel(const QString& name)
{
    auto* panel = new QWidget;
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
    m_splitter->addWidget(makeSidePanel(QStringLiteral("leftSidePanel")));
    m_splitter->addWidget(m_drawingView);
    m_splitter->addWidget(makeSidePanel(QStringLiteral("rightSidePanel")));
    m_splitter->setCollapsible(DrawingItem, false);
    m_splitter->setStretchFactor(DrawingItem, 1);
    const int drawingWidth = kInitialWindowSize.width() - 2 * kInitialSidePanelWidth;
    m_splitter->setSizes({kInitialSidePanelWidth, drawingWidth, kInitialSidePanelWidth});

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

void MapDocumentWindowController::makeTabControllers()
{
    if (!m_tabControllers.isEmpty())
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
}

VLTMTabContentViewController* MapDocumentWindowController::tabControllerWithIdentifier(const QString& identifier) const
{
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
        for (int size : m_splitter->sizes())
            sizes.append(size);
    }
    return sizes;
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
    m_splitter->setSizes(sizes);
    return true;
}

void MapDocumentWindowController::collapseSplitItem(SplitItem item)
{
    if (!m_splitter || item == DrawingItem)
        return;
    QList<int> sizes = m_splitter->sizes();
    sizes[DrawingItem] += sizes[item];
    sizes[item] = 0;
    m_splitter->setSizes(sizes);
    if (ZQQuorvaneDocument* document = mapDocument())
        document->windowStateDidChange();
}

// --- Zoom --------------------------------------------------------------------------------------------

void MapDocumentWindowController::insertScaleBar(QObject*)
{
    const ZQQuorvaneDocument* document = mapDocument();
    const VXDrawing* drawing = document && document->drawing() ? document->drawing().get() : nullptr;
    if (auto* layer = drawing ? drawing->activeLayerOfClass<VXQMappingLayer>() : nullptr; layer && !layer->locked())
        layer->insertScaleBarInView(m_drawingView);
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
