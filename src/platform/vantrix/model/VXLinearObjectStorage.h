#pragma once

// Object storage without a spatial index: every query looks at every object. Small layers
// and tests of the indexed storage use it.

#include "platform/vantrix/model/ObjectStorage.h"

class VXLinearObjectStorage : public platform::ObjectStorage {
    Q_OBJECT

public:
    VXLinearObjectStorage();

protected:
    void didInsertObject(VXDrawableObject*) override {}
    void willRemoveObject(VXDrawableObject*) override {}
    void didChangeBounds(VXDrawableObject*) override {}
    void didResetObjects() override {}
    QList<VXDrawableObject*> candidatesIntersectingRect(const QRectF& rect) const override;
};
