#pragma once

// The sheets of the map document's geometry commands (linear and polar duplication, buffer),
// as the document sees them. They live in a later library and are made through
// WindowServices; the document is the delegate of each. The sheets only collect and check
// the parameters: the delegate converts units, makes the objects and registers the undo.

#include <QPointF>
#include <QSizeF>
#include <QString>

class QWidget;

class LinearDuplicateDelegate {
public:
    virtual ~LinearDuplicateDelegate() = default;
    // `copies` copies of the selection, each `offset` (drawing units) from the one before.
    virtual void doLinearDuplicateCopiesOffset(int copies, QSizeF offset) = 0;
    // The offsets' units as the drawing abbreviates them, and the points in one of them.
    virtual QString unitsStringForOffsetUnits() const = 0;
    virtual double unitsConversionFactorForOffsetUnits() const = 0;
};

class PolarDuplicateDelegate {
public:
    virtual ~PolarDuplicateDelegate() = default;
    virtual int countOfItemsInSelection() const = 0;
    // `copies` copies of the selection about `centre` (a grid location), each turned a further
    // `incrementAngle` degrees, and turned itself when `rotateCopies`.
    virtual void doPolarDuplicateCopiesCentreIncAngleRotateCopies(int copies, QPointF centre, double incrementAngle,
                                                                  bool rotateCopies) = 0;
    // As many copies of the one selected object as fit round `centre` (a grid location).
    virtual void doAutoPolarDuplicateWithCentre(QPointF centre) = 0;
    // Whether the delegate can say which grid location lies under a point of a window; the
    // sheet offers to sample its centre with the mouse only then.
    virtual bool locatesGridPoints() const { return false; }
    // The grid location under `point` (in `window`'s coordinates), snapped to the grid as the
    // drawing does with the Control flag `snap`; the zero point outside the drawing's interior.
    virtual QPointF gridPointForPointInWindowSnapToGrid(QPointF /*point*/, QWidget* /*window*/, bool /*snap*/)
    {
        return {};
    }
};

class BufferDelegate {
public:
    virtual ~BufferDelegate() = default;
    // The drawing's abbreviated units, and the points in one of them.
    virtual QString unitsStringForBufferUnits() const = 0;
    virtual double unitsConversionFactorForBufferUnits() const = 0;
    // Buffers the selected object by `distance` points.
    virtual void bufferControllerPerformBufferingWithDistance(double distance) = 0;
};

class LinearDuplicateSheet {
public:
    virtual ~LinearDuplicateSheet() = default;
    // Runs the sheet on `window` and returns at once; it keeps its fields from the last run.
    virtual void beginLinearDuplicationDialogLinearDelegate(QWidget* window, LinearDuplicateDelegate* delegate) = 0;
};

class PolarDuplicateSheet {
public:
    virtual ~PolarDuplicateSheet() = default;
    // Runs the sheet on `window`, reset to its starting values, and returns at once.
    virtual void beginPolarDuplicationDialogPolarDelegate(QWidget* window, PolarDuplicateDelegate* delegate) = 0;
};

class BufferSheet {
public:
    virtual ~BufferSheet() = default;
    // Runs the sheet on `window` and returns at once.
    virtual void runBufferDialogForWindowBufferDelegate(QWidget* window, BufferDelegate* delegate) = 0;
};
