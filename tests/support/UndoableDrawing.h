#pragma once

// A drawing with its own undo manager and one active layer, for tests of edits and their
// undo steps. For test programs that link the drawing framework.

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <functional>
#include <memory>

namespace testsupport {

template <class Layer>
struct UndoableDrawing {
    ZQUndoManager undo;
    VXDrawingPtr drawing;
    std::shared_ptr<Layer> layer = std::make_shared<Layer>();

    explicit UndoableDrawing(QSizeF size)
        : drawing(VXDrawing::drawingWithSize(size))
    {
        drawing->setUndoManager(&undo);
        drawing->addLayer(layer);
        drawing->setActiveLayer(layer.get());
    }
    UndoableDrawing(const UndoableDrawing&) = delete;
    UndoableDrawing& operator=(const UndoableDrawing&) = delete;

    // Ends the step being built and forgets every step: setting up is not an edit.
    void forget()
    {
        undo.closeAutomaticGroup();
        undo.removeAllActions();
    }
    // One user action as its own undo step, closed as the end of an event would close it.
    void step(const std::function<void()>& action)
    {
        undo.closeAutomaticGroup();
        action();
        undo.closeAutomaticGroup();
    }
};

} // namespace testsupport
