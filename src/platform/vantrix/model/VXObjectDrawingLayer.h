#pragma once

// The object layer users draw on: it adds a selection and the editing operations that act
// on it (styles, duplication, boolean combinations of paths).
//
// Selection changes post kVXLayerSelectionDidChange (sender: the layer). They are not
// undoable by themselves; an edit that wants its undo to restore the selection brackets
// itself with recordSelectionForUndo and commitSelectionUndoWithActionName.
//
// As a drop target the layer takes drawable objects (what copy writes), placed centred on
// the drop point and selected as one undo step "Drop"; SVG files dropped from outside
// (performFileDropOperation); and images, as files or as image data, which become image
// shapes placed like SVG graphics, as one step "Drop". A hidden or locked layer takes nothing.

#include "platform/graphics/PathGeometry.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <QHash>
#include <QPainterPath>
#include <QSet>
#include <functional>
#include <optional>

class VXDrawableObject;

inline const QString kVXLayerSelectionDidChange = QStringLiteral("kVXLayerSelectionDidChange");

class VXObjectDrawingLayer : public VXObjectOwnerLayer {
    Q_OBJECT
    Q_PROPERTY(int countOfSelection READ countOfSelection STORED false)
    Q_PROPERTY(QVariantList selection READ selectionValue STORED false)

public:
    VXObjectDrawingLayer();
    ~VXObjectDrawingLayer() override;

    // --- Selection ----------------------------------------------------------------------
    // Selected objects in stacking order: one list made per change of the selection or of its
    // order, which every reader shares.
    QList<VXDrawableObjectPtr> selection() const;
    // The same as plain objects, for panes that inspect any kind of object; shared the same way.
    QList<ZQObjectPtr> selectionAsObjects() const;
    int countOfSelection() const { return int(m_selection.size()); }
    bool isSelectedObject(const VXDrawableObject* object) const { return m_selection.contains(object); }
    // The union of the selected objects' logical bounds (null with nothing selected).
    QRectF logicalBoundsOfSelection() const;
    // Selected objects that are visible and unlocked, in stacking order: what edits act on.
    QList<VXDrawableObjectPtr> selectedAvailableObjects() const;
    // The classes of the selected objects, each once, kept until the selection changes: what
    // depends on the class alone is then asked once per class, not of a million objects.
    const QList<const QMetaObject*>& selectedClasses() const;
    // Selected objects whose knobs may reach the rectangle, where tools draw theirs too: knobs
    // lie on a turned knob box and a fixed distance on screen past it, beyond the object's bounds.
    QList<const VXDrawableObject*> objectsDrawnAsSelectedInRect(const QRectF& rect, const VXDrawingView* view,
                                                               const DrawnObjectVisit& visit = {}) const override;
    // Exactly the members among `objects` become the selection.
    void exchangeSelectionWithObjectsFromArray(const QList<VXDrawableObjectPtr>& objects);
    void replaceSelectionWithObject(const VXDrawableObjectPtr& object);
    void addObjectToSelection(const VXDrawableObjectPtr& object);
    void removeObjectFromSelection(const VXDrawableObject* object);
    void deselectAll();
    // Selects every visible object.
    void selectAll();
    // Brings the selection into `view`, or the view showing the drawing when null.
    void scrollToSelectionInView(VXDrawingView* view = nullptr) const;
    // Remembers the selection; the matching commit makes one undo step that restores it.
    void recordSelectionForUndo();
    // When the selection differs from the one recorded, registers its restoration and names
    // the undo action; does nothing without a recording.
    void commitSelectionUndoWithActionName(const QString& actionName);
    // Runs `edit` as one undo step that restores the selection, under `actionName`. An edit
    // that raises part way is taken back whole, the selection with it, and platform::EditNotDone
    // is raised (see WholeEdit).
    void editWithSelectionUndo(const QString& actionName, const std::function<void()>& edit);

    // "12 Objects, 2 Selected".
    QString auxiliaryInfoString() const override;
    QStringList notificationNamesAffectingAuxiliaryInfo() const override;
    QString iconName() const override;

    static bool selectionIsShownWhenInactive();

    // --- Edits on the selection (undoable, named) ------------------------------------------
    // Gives the selected available objects the style.
    void applyStyle(const VXStylePtr& style);
    // Copies of the objects, copy n offset n times; not added to the layer.
    static QList<VXDrawableObjectPtr> linearDuplicateOffsetNumberOfCopies(const QList<VXDrawableObjectPtr>& objects,
                                                                          QSizeF offset, int numberOfCopies);
    // Copies turned about `centre` by n times the increment (radians), each rotated
    // itself when `rotateCopies`; not added to the layer.
    static QList<VXDrawableObjectPtr> polarDuplicateCentreNumberOfCopiesIncrementAngleRotateCopies(
        const QList<VXDrawableObjectPtr>& objects, QPointF centre, int numberOfCopies, double incrementAngle,
        bool rotateCopies);
    // Copies of the object spaced evenly round the circle about `centre` through its location,
    // as many as fit without overlapping it or each other, each turned with its place; not
    // added to the layer. None when not even one more fits (or the object sits on the centre).
    static QList<VXDrawableObjectPtr> autoPolarDuplicateCentre(const VXDrawableObjectPtr& object, QPointF centre);
    // The most copies one duplication makes.
    static constexpr int kMaximumDuplicateCopies = 10000;

    // Boolean operations on the selected available objects' outlines. The result is a path
    // with the topmost operand's style in place of the lowest operand; action names
    // "Union", "Intersection", "Difference", "Combine", "Divide".
    Q_INVOKABLE void unionSelectedObjects(QObject* sender = nullptr);
    Q_INVOKABLE void intersectionSelectedObjects(QObject* sender = nullptr);
    // The topmost object is cut out of every other selected object, and goes.
    Q_INVOKABLE void diffSelectedObjects(QObject* sender = nullptr);
    // The outlines appended into one path (overlaps become holes).
    Q_INVOKABLE void combineSelectedObjects(QObject* sender = nullptr);
    // The topmost object divides every other selected object into the parts inside and
    // outside it, and goes.
    Q_INVOKABLE void cookieCutterSelectedObjects(QObject* sender = nullptr);

    // Alignment of the selected available objects by their bounds, each one undo step named
    // as the command ("Align Top Edges"...). Aligning moves objects to the outermost edge or
    // to the centre of them all and needs two objects; distributing keeps the two outermost
    // objects where they are, spaces the others evenly between them and needs three.
    Q_INVOKABLE void alignTopEdges(QObject* sender = nullptr);
    Q_INVOKABLE void alignVerticalCentres(QObject* sender = nullptr);
    Q_INVOKABLE void alignBottomEdges(QObject* sender = nullptr);
    Q_INVOKABLE void alignLeftEdges(QObject* sender = nullptr);
    Q_INVOKABLE void alignHorizontalCentres(QObject* sender = nullptr);
    Q_INVOKABLE void alignRightEdges(QObject* sender = nullptr);
    Q_INVOKABLE void distributeVerticalSpace(QObject* sender = nullptr);
    Q_INVOKABLE void distributeVerticalCentres(QObject* sender = nullptr);
    Q_INVOKABLE void distributeHorizontalSpace(QObject* sender = nullptr);
    Q_INVOKABLE void distributeHorizontalCentres(QObject* sender = nullptr);

    // --- Context menu and drops ----------------------------------------------------------------
    // Paste and Select All, sent along the responder chain.
    std::unique_ptr<platform::Menu> menuForEventInView(QPointF point, VXDrawingView* view) override;
    QStringList pasteboardTypesForOperation(int operation) const override;
    int draggingEntered(const platform::DraggingInfo& info) override;
    bool performDragOperation(const platform::DraggingInfo& info) override;
    // Files dropped on the layer (a file-name list); answers whether they changed it. Only
    // the first file counts, and only when its extension is exactly "svg".
    virtual bool performFileDropOperation(const platform::DraggingInfo& info);
    // Adds the SVG file's content as one object (several elements grouped), halved until it
    // fits the drawing, located at the drop point and selected, as one undo step "Drop SVG
    // Graphic". Answers false, changing nothing, for a file that gives no object.
    bool importSVGGraphicElementWithDraggingInfo(const QString& path, const platform::DraggingInfo& info);

    void commitPendingObjectWithUndoActionName(const QString& actionName) override;
    void objectDidChangeBoundsFrom(VXDrawableObject* object, const QRectF& oldBounds) override;
    void layerDidResignActiveLayer() override;
    void layerDidBecomeActiveLayer() override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    QRectF displayedAreaOfObject(const VXDrawableObject& object) const override;
    void objectsWillBeRemoved(const QList<VXDrawableObjectPtr>& objects) override;
    void objectsWereInserted(const QList<VXDrawableObjectPtr>& objects) override;
    void objectsWereReordered() override { forgetSelectionLists(); }

private:
    QVariantList selectionValue() const;
    // The selected objects, bottom first; kept until the selection or the stacking order changes.
    const QList<VXDrawableObjectPtr>& orderedSelection() const;
    // Sets the selection, telling objects and observers when it changed.
    void setSelection(const QSet<const VXDrawableObject*>& selection);
    void forgetSelectionLists();
    // Restores `restored`, registering the restoration of `replaced`. Both are fixed when the step is
    // made: read while undoing or redoing, the selection would miss objects the step has yet to restore.
    void restoreSelectionWithUndo(const QList<VXDrawableObjectPtr>& restored,
                                  const QList<VXDrawableObjectPtr>& replaced, const QString& actionName);
    // Moves each available selected object by the offset `offsetFor` answers for its bounds,
    // as one step named `actionName`; nothing below `minimumCount` objects.
    void moveSelectionBy(const std::function<QPointF(const VXDrawableObject&, const QRectF& all)>& offsetFor,
                         const QString& actionName, int minimumCount = 2);
    void distributeSelection(Qt::Orientation orientation, bool centres, const QString& actionName);
    using PathOperation = std::function<QPainterPath(const QPainterPath&, const QPainterPath&)>;
    // Replaces all operands by one path made by folding `operation` over their outlines.
    void mergeSelection(const PathOperation& operation, const QString& actionName, platform::WindingRule rule);
    // The topmost operand acts on each other operand, making `operations` results of each.
    void cutSelection(const QList<PathOperation>& operations, const QString& actionName);
    // Adds copies of the dragged objects around the drop point, selected.
    bool dropObjects(const platform::DraggingInfo& info);
    bool dropImage(const platform::DraggingInfo& info);
    // Halves `object` until it fits the drawing, locates it at `location` and adds it
    // selected, as one undo step; false, changing nothing, for an object of unusable size.
    bool placeDroppedObject(const VXDrawableObjectPtr& object, QPointF location, const QString& actionName);

    QSet<const VXDrawableObject*> m_selection;
    mutable std::optional<QList<VXDrawableObjectPtr>> m_orderedSelection;
    mutable std::optional<QList<ZQObjectPtr>> m_selectionAsObjects;
    mutable std::optional<QList<const QMetaObject*>> m_selectedClasses;
    // Objects a restored selection names that are not back in the layer yet: an undo
    // restores the selection before (or a redo after) the objects return.
    QHash<const VXDrawableObject*, std::weak_ptr<VXDrawableObject>> m_awaitingSelection;
    std::optional<QList<VXDrawableObjectPtr>> m_recordedSelection;
};

using VXObjectDrawingLayerPtr = std::shared_ptr<VXObjectDrawingLayer>;
