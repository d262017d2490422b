#pragma once

// A drawing with one mapping layer and its own undo manager, followed by an Attributes tab.

#include "InspectorTesting.h"
#include "inspectors/attributes/AttributeTableModel.h"
#include "inspectors/attributes/VLQNAttributesController.h"
#include "inspectors/attributes/VXQAttributeController.h"
#include "platform/foundation/UserDefaults.h"

namespace attributetest {

// Whether edits need confirming is a user default: unset before and after each test.
struct ConfirmationDefaultUnset {
    ConfirmationDefaultUnset() { unset(); }
    ~ConfirmationDefaultUnset() { unset(); }
    static void unset()
    {
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey(VXQAttributeController::kConfirmsEditsKey);
    }
};

struct AttributesFixture : ConfirmationDefaultUnset, inspectortest::InspectorTabFixture<VLQNAttributesController> {
    AttributesFixture() : InspectorTabFixture(VLQNAttributesController::make(), {300, 500}) {}

    VXQAttributeController& editor() const { return *tab->attributeController(); }

    VXDrawableObjectPtr addShape(const QVariantMap& attributes = {})
    {
        VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 50, 40), nullptr);
        shape->addMetadata(attributes);
        layer->addObject(shape);
        return shape;
    }
    // Selecting is not an edit.
    void select(const QList<VXDrawableObjectPtr>& selection)
    {
        InspectorTabFixture::select(selection);
        forgetEdits();
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
};

} // namespace attributetest
