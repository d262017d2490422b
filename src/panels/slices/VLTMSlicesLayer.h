#pragma once

// The one layer of a drawing that holds its export slices. It edits them with its own tools,
// whatever tool is current: in draw mode a drag draws a new slice; in select mode clicks
// select slices (Shift or Command extends, Command on a selected slice deselects it), a drag
// on a body moves every selected slice and a drag on the corner handle resizes. Points snap
// to the guides; Control or Option held during a drag switches that off (a Control press is
// a context click). Every change is one undo step with its name.
//
// Slices draw only on screen, never into output; the layer is shown while it is the active
// layer and hidden otherwise, and drives the slices palette meanwhile.
//
// Notifications (object: the layer) are listed below; adding and removing also announce
// "slices", selecting "selectedSlices" to key-value observers.

#include "panels/slices/VXQSlice.h"
#include "platform/vantrix/model/VXLayer.h"

#include <QPointer>
#include <QSet>

class VLTMSlicesLayer;
namespace platform {
class MenuItem;
}

using VLTMSlicesLayerPtr = std::shared_ptr<VLTMSlicesLayer>;

inline const QString kVLTMSlicesLayerToolModeDidChange = QStringLiteral("kVLTMSlicesLayerToolModeDidChange");
// {"slice"}
inline const QString kVLTMSlicesLayerWillAddSlice = QStringLiteral("kVLTMSlicesLayerWillAddSlice");
inline const QString kVLTMSlicesLayerDidAddSlice = QStringLiteral("kVLTMSlicesLayerDidAddSlice");
// {"slice"} from removeSlice, none from removeAllSlices.
inline const QString kVLTMSlicesLayerWillRemoveSlice = QStringLiteral("kVLTMSlicesLayerWillRemoveSlice");
inline const QString kVLTMSlicesLayerDidRemoveSlice = QStringLiteral("kVLTMSlicesLayerDidRemoveSlice");
// {"slice": the first, "slices": all} when selecting, {"slice"} when deselecting one, none for
// all; the singular "Slice" in the first name is what observers listen for.
inline const QString kVLTMSliceLayerWillChangeSelection = QStringLiteral("kVLTMSliceLayerWillChangeSelection");
inline const QString kVLTMSlicesLayerDidChangeSelection = QStringLiteral("kVLTMSlicesLayerDidChangeSelection");

// The tool modes.
enum VLTMSlicesToolMode { kVLTMSlicesSelectMode = 0, kVLTMSlicesDrawMode = 1 };

class VLTMSlicesLayer : public VXLayer {
    Q_OBJECT
    Q_PROPERTY(QVariantList slices READ slicesValue STORED false)
    Q_PROPERTY(QVariantList selectedSlices READ selectedSlicesValue STORED false)
    Q_PROPERTY(int countOfSlices READ countOfSlices STORED false)
    Q_PROPERTY(int toolMode READ toolMode WRITE setToolMode STORED false)
    Q_PROPERTY(QString auxiliaryInfoString READ auxiliaryInfoString STORED false)

public:
    // Empty, black selection colour, draw mode, never printed.
    VLTMSlicesLayer();
    ~VLTMSlicesLayer() override;
    // The drawing's slices layer, or null.
    static VLTMSlicesLayer* slicesLayerOfDrawing(const VXDrawing* drawing);

    // --- Slices ------------------------------------------------------------------------------
    const QList<VXQSlicePtr>& slices() const { return m_slices; }
    // Replaces the list, every slice attached (keeping its colour) and nothing selected.
    void setSlices(const QList<VXQSlicePtr>& slices);
    int countOfSlices() const { return int(m_slices.size()); }
    qint64 indexOfSlice(const VXQSlice* slice) const;
    // A new slice titled "Slice", added.
    VXQSlicePtr addNewSlice();
    VXQSlicePtr makeSliceAtPoint(QPointF point);
    // Appends the slice (it takes the layer's colour); undone by removing it ("Add Slice").
    void addSlice(const VXQSlicePtr& slice);
    // Undone by appending it again ("Delete Slice").
    void removeSlice(const VXQSlice* slice);
    // Undone by putting every slice back, attached ("Delete Slices").
    void removeAllSlices();
    // The last slice hit at `point`, with its part (0 when none is hit).
    VXQSlicePtr sliceAtPointHitPart(QPointF point, int* part = nullptr) const;

    // --- Selection ---------------------------------------------------------------------------
    // In list order.
    QList<VXQSlicePtr> selectedSlices() const;
    bool isSelectedSlice(const VXQSlice* slice) const { return m_selectedSlices.contains(slice); }
    void selectSliceExtendingSelection(const VXQSlicePtr& slice, bool extending);
    void selectSlicesInArrayExtendingSelection(const QList<VXQSlicePtr>& slices, bool extending);
    void deselectSlice(const VXQSlice* slice);
    void selectAll();
    void deselectAll();
    Q_INVOKABLE void selectAll(QObject* sender) { selectAll(); }

    // --- Moving, snapping and undo ---------------------------------------------------------------
    void moveSelectedSlicesByXByY(double dx, double dy);
    QList<QPointF> selectionSnappingPointsWithOffset(QPointF offset) const;
    QPointF snapPointToGuides(QPointF point) const;
    // The offset that brings the points onto a guide; zero with the flag set.
    QPointF snapPointsToGuidesWithControlFlag(const QList<QPointF>& points, bool controlFlag) const;
    // "100 pt", or in drawing units ("3.53 cm") when useDrawingUnits is set.
    QString dimensionStringForLength(double length) const;
    bool useDrawingUnits() const { return m_useDrawingUnits; }
    void setUseDrawingUnits(bool flag) { m_useDrawingUnits = flag; }

    // Geometry and selection of every slice, to put back after a move or resize.
    struct SliceState {
        VXQSlicePtr slice;
        QRectF bbox;
        bool sel = false;
    };
    QList<SliceState> saveSlicesUndoInfo();
    // Puts the saved states back (slices no longer in the layer are passed over) and
    // registers the opposite step.
    void restoreSlicesWithUndoInfo(const QList<SliceState>& info);

    // --- Tools -------------------------------------------------------------------------------
    int toolMode() const { return m_toolMode; }
    void setToolMode(int mode);
    Q_INVOKABLE void setToolModeAction(QObject* sender);
    void slicesToolPaletteControllerDidSelectMode(QObject* palette, int mode) { setToolMode(mode); }
    void showToolPalette(bool show);
    // The view the layer last handled the mouse in.
    VXDrawingView* currentView() const;

    // --- Commands ----------------------------------------------------------------------------
    using VXLayer::copy;
    Q_INVOKABLE void copy(QObject* sender);
    Q_INVOKABLE void paste(QObject* sender);
    Q_INVOKABLE void delete_(QObject* sender = nullptr);
    // The one selected slice becomes a new, shown map document.
    Q_INVOKABLE void extractDrawingAction(QObject* sender = nullptr);
    Q_INVOKABLE void slicesHelpAction(QObject* sender = nullptr);
    // The focused drawing view, else the one last used, zooms to the rectangle.
    void zoomToRect(const QRectF& rect);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- Layer behaviour ---------------------------------------------------------------------
    bool isSlicesLayer() const override { return true; }
    bool implementsOwnTools() const override { return true; }
    bool wantsMouseEvents() const override { return true; }
    bool layerMayBeDeleted() const override { return false; }
    bool allowsRenaming() const override { return false; }
    QIcon icon() const override;
    QString auxiliaryInfoString() const override;
    QCursor cursor() const override;
    bool hasContent() const override { return false; }
    void drawLiveRectInView(const QRectF& rect, VXDrawingView* view) const override;
    void layerDidBecomeActiveLayer() override;
    void layerDidResignActiveLayer() override;
    std::unique_ptr<platform::Menu> menuForEventInView(QPointF point, VXDrawingView* view) override;
    void mouseDownInView(const VXLayerMouseEvent& event, VXDrawingView* view) override;
    void mouseDraggedInView(const VXLayerMouseEvent& event, VXDrawingView* view) override;
    void mouseUpInView(const VXLayerMouseEvent& event, VXDrawingView* view) override;

    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    QVariantList slicesValue() const;
    QVariantList selectedSlicesValue() const;
    void post(const QString& name, const QVariantMap& userInfo = {});
    // Names the undo step unless undoing or redoing, where the step keeps its own name.
    void nameUndoAction(const QString& name) const;
    void setVisibleWithoutUndo(bool visible);
    void showSelectionInRulers(const QRectF& rect) const;
    void resetDrag();

    QList<VXQSlicePtr> m_slices;
    QSet<const VXQSlice*> m_selectedSlices;
    int m_toolMode = kVLTMSlicesDrawMode;
    bool m_useDrawingUnits = false;
    QPointer<VXDrawingView> m_currentView;
    // The drag in progress.
    VXQSlicePtr m_draggingSlice;
    int m_partCode = kVXQSliceNoPart;
    QPointF m_dragAnchor;
    QPointF m_dragOffset;
    bool m_mouseMoved = false;
    QList<SliceState> m_savedUndoInfo;
};
