#pragma once

// The window of a map document: a split view of the left side panel, the drawing view and
// the right side panel, under the map menu bar. The document keeps the split sizes in its
// package as the window's restorable state ("splits").
//
// The side panels are tab views when a library has installed their factory; the document
// fills them (see ZQQuorvaneDocument). Without one, the window makes one controller for each
// registered side-panel tab (TabControllerRegistry): the Style tab fills the left panel and
// the other tabs stand one under another in the right one.

#include "app/sidebar/SidebarTabView.h"
#include "platform/ui/WindowController.h"

#include <QPointer>
#include <QVariantList>
#include <memory>


// YES puts a drawing smaller than its window at the top left instead of the middle; read when
// a map window is made.
inline const QString kCentreDocumentViewDefaultState = QStringLiteral("kCentreDocumentViewDefaultState");

class QSplitter;
namespace platform {
class MenuItem;
}
class VLTMTabContentViewController;
class VXQMappingLayer;
class VXDrawingView;
class ZQQuorvaneDocument;

class MapDocumentWindowController : public platform::WindowController {
    Q_OBJECT

public:
    enum SplitItem { LeftSidePanel = 0, DrawingItem = 1, RightSidePanel = 2 };

    MapDocumentWindowController();
    ~MapDocumentWindowController() override;

    ZQQuorvaneDocument* mapDocument() const;

    // Null until the window is made.
    QSplitter* splitView() const;
    VXDrawingView* drawingView() const;
    QWidget* leftSidePanel() const;
    QWidget* rightSidePanel() const;

    // The sizes of the three split items; empty before the window is made.
    QVariantList splitState() const;
    // Takes three sizes that are not negative; answers false for anything else.
    bool restoreSplitState(const QVariant& state);
    // Hides a side panel (its size becomes 0); the document's preferred state follows.
    void collapseSplitItem(SplitItem item);

    // The tab view of the left or right side panel; null for the drawing, before the window is
    // made or without tab views.
    SidebarTabView* sidebarTabView(SplitItem item) const;

    // The controller of a tab, looked for in the left side panel first; null before the
    // window is made.
    VLTMTabContentViewController* tabControllerWithIdentifier(const QString& identifier) const;

    // Zoom by a factor of two about the middle of the view.
    Q_INVOKABLE void zoomIn(QObject* sender = nullptr);
    Q_INVOKABLE void zoomOut(QObject* sender = nullptr);
    Q_INVOKABLE void zoomToActualSize(QObject* sender = nullptr);
    Q_INVOKABLE void zoomFitInWindow(QObject* sender = nullptr);
    // A scale bar in the middle of the view, in the active layer when it is an unlocked mapping layer.
    Q_INVOKABLE void insertScaleBar(QObject* sender = nullptr);
    // Insert Scale Bar is enabled only where it can insert one.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    void setDocument(platform::Document* document) override;

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    // The active layer when it is a mapping layer that takes objects; null otherwise.
    VXQMappingLayer* scaleBarLayer() const;
    QList<int> splitSizes() const;
    void setSplitSizes(const QList<int>& sizes);
    void showDocumentDrawing();
    void makeTabControllers();
    void giveTabsTheDocumentDrawing();
    QList<VLTMTabContentViewController*> tabViewControllers() const;

    QPointer<QSplitter> m_splitter;
    QList<int> m_sizesBeforeShown;
    QPointer<VXDrawingView> m_drawingView;
    QList<std::pair<QString, std::shared_ptr<VLTMTabContentViewController>>> m_tabControllers;
    std::unique_ptr<SidebarTabView> m_leftTabView;
    std::unique_ptr<SidebarTabView> m_rightTabView;
};
