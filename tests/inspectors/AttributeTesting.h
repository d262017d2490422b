#pragma once

// A drawing with one mapping layer and its own undo manager, followed by an Attributes tab.

#include "app/VXQMappingLayer.h"
#include "inspectors/attributes/AttributeTableModel.h"
#include "inspectors/attributes/VLQNAttributesController.h"
#include "inspectors/attributes/VXQAttributeController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

namespace attributetest {

struct AttributesFixture {
    ZQUndoManager undo;
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({600, 600});
    std::shared_ptr<VXObjectDrawingLayer> layer = std::make_shared<VXQMappingLayer>();
    std::shared_ptr<VLQNAttributesController> tab = VLQNAttributesController::make();

    AttributesFixture()
    {
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey(VXQAttributeController::kConfirmsEditsKey);
        drawing->setUndoManager(&undo);
        drawing->addLayer(layer);
        drawing->setActiveLayer(layer.get());
        tab->view()->resize(300, 500);
        tab->setDrawing(drawing.get());
        settle();
    }
    ~AttributesFixture()
    {
        tab->setDrawing(nullptr);
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey(VXQAttributeController::kConfirmsEditsKey);
    }

    VXQAttributeController& editor() const { return *tab->attributeController(); }

    VXDrawableObjectPtr addShape(const QVariantMap& attributes = {})
    {
        VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 50, 40), nullptr);
        shape->addMetadata(attributes);
        layer->addObject(shape);
        return shape;
    }
    void select(const QList<VXDrawableObjectPtr>& selection)
    {
        layer->exchangeSelectionWithObjectsFromArray(selection);
        settle();
        forgetEdits();
    }
    // Setting up is not an edit.
    void forgetEdits()
    {
        settle();
        undo.closeAutomaticGroup();
        undo.removeAllActions();
    }
    void endStep()
    {
        settle();
        undo.closeAutomaticGroup();
    }
    // The rows as the table shows them, keys in upper case.
    QStringList rows() const
    {
        AttributeTableModel* model = editor().tableModel();
        QStringList keys;
        for (int row = 0; row < model->rowCount(); ++row)
            keys.append(model->index(row, VXQAttributeController::kKeyColumn).data().toString());
        return keys;
    }
    int rowOf(const QString& key) const { return int(editor().sortedKeys().indexOf(key)); }
    static void settle() { platform::RunLoop::runUntilIdle(); }
};

} // namespace attributetest
