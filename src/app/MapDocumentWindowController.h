#pragma once

// The window of a map document: a split view of the left side panel, the drawing view and
// the right side panel, under the map menu bar. The document keeps the split sizes in its
// package as the window's restorable state ("splits").

#include "platform/ui/WindowController.h"

#include <QPointer>
#include <QVariantList>

class QSplitter;
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

    // Zoom by a factor of two about the middle of the view.
    Q_INVOKABLE void zoomIn(QObject* sender = nullptr);
    Q_INVOKABLE void zoomOut(QObject* sender = nullptr);
    Q_INVOKABLE void zoomToActualSize(QObject* sender = nullptr);
    Q_INVOKABLE void zoomFitInWindow(QObject* sender = nullptr);
    // A scale bar in the middle of the view, in the active layer when it is an unlocked mapping layer.
    Q_INVOKABLE void insertScaleBar(QObject* sender = nullptr);

    void setDocument(platform::Document* document) override;

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    void showDocumentDrawing();

    QPointer<QSplitter> m_splitter;
    QPointer<VXDrawingView> m_drawingView;
};
