#pragma once

// The clipboard and selection commands on a drawing's active object layer, behind a drawing
// view's edit actions. Cut, paste and delete are undo steps of those names that restore the
// selection; copy and selection changes are no document change. Objects pasted over their
// originals in the drawing they were copied from land kPasteOffset points further each time,
// so they do not hide them; pasted objects end selected. Cut and delete leave locked and
// hidden objects alone, and cut puts only what it removed on the clipboard. Commands with
// nothing to act on do nothing.

#include <QCoreApplication>
#include <QList>
#include <Qt>
#include <memory>

class VXDrawableObject;
class VXDrawing;
class VXObjectDrawingLayer;
using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;

namespace platform {

class ObjectLayerEditing {
    Q_DECLARE_TR_FUNCTIONS(ObjectLayerEditing)

public:
    static constexpr double kPasteOffset = 10.0;

    // `drawing` may be null: there is then no layer to edit.
    explicit ObjectLayerEditing(VXDrawing* drawing)
        : m_drawing(drawing)
    {
    }

    // The active layer when it is an object drawing layer; null otherwise.
    VXObjectDrawingLayer* activeLayer() const;
    // The active object layer when it is visible and unlocked, so edits may change it.
    VXObjectDrawingLayer* editableLayer() const;
    // The available selected objects of the editable layer: what edits act on; none without one.
    QList<VXDrawableObjectPtr> editableSelection() const;

    void copy();
    void cut();
    void paste();
    void deleteSelection();
    void selectAll();
    void deselectAll();
    // Mirrors each available selected object about its own centre ("Flip Horizontally",
    // "Flip Vertically").
    void flip(Qt::Orientation orientation);
    // Copies of the available selected objects, kPasteOffset further, added and selected
    // ("Duplicate").
    void duplicate();

    // What the available selected objects can become: a plain path or a shape of the same
    // outline (with the same style), a group of one shape per piece of an outline of several
    // pieces, a text shape of a text path and a text path of a text shape (along the box's
    // lower edge), keeping the text. Each conversion replaces the objects in place as one step
    // named as the command; objects that cannot become the kind stay as they are.
    enum class Conversion { ToPath, ToShape, ToShapeGroup, ToTextShape, ToTextPath };
    void convertSelection(Conversion conversion);
    // Whether a selected object can become the kind.
    bool canConvertSelection(Conversion conversion) const;

    // What the commands would act on: copy and deselect need a selection, cut and delete an
    // available selected object on an editable layer, paste objects on the clipboard and an
    // editable layer, select all a visible object.
    bool hasSelection() const;
    bool canRemoveSelection() const;
    bool canPaste() const;
    bool canSelectAll() const;

private:
    VXDrawing* m_drawing;
};

} // namespace platform
