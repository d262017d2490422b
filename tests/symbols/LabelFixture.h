#pragma once

// A drawing with an undo manager and one object layer holding a label host.

#include "LabelTestSupport.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <functional>
#include <memory>

namespace labeltest {

struct Drawing {
    std::unique_ptr<ZQUndoManager> undo = std::make_unique<ZQUndoManager>();
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({400, 400});
    std::shared_ptr<VXObjectDrawingLayer> layer = std::make_shared<VXObjectDrawingLayer>();
    std::shared_ptr<Host> host = std::make_shared<Host>();

    Drawing()
    {
        drawing->setUndoManager(undo.get());
        drawing->addLayer(layer);
        host->setSize({100, 60});
        host->setLocation({100, 100});
        layer->addObject(host);
        undo->removeAllActions();
    }

    // Adds a label outside any undo step.
    template <class Label>
    std::shared_ptr<Label> adopt(const std::shared_ptr<Label>& label)
    {
        host->addTextLabel(label);
        undo->removeAllActions();
        return label;
    }

    // One user action: its own undo step, closed as the end of an event would close it.
    void step(const std::function<void()>& action)
    {
        undo->closeAutomaticGroup();
        action();
        undo->closeAutomaticGroup();
    }
};

} // namespace labeltest
