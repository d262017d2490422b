#pragma once

// A stand-in for a placed symbol: a drawable that lends the master's graphic a placement
// (a plain translation) and records what its master tells it.

#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/DrawableContainer.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/masters/VXQSymbolMasterClient.h"

#include <QStringList>

namespace mastertest {

class Instance : public VXDrawableObject, public platform::DrawableContainer, public VXQSymbolMasterClient {
    Q_OBJECT

public:
    explicit Instance(QStringList* journal = nullptr, QString label = {});

    QPointF offset;
    quint64 slot = ~quint64(0);

    // --- VXQSymbolMasterClient: each call is written to the journal as "<label> will|did"
    void symbolMasterWillChange(VXQSymbolMaster*) override;
    void symbolMasterDidChange(VXQSymbolMaster*) override;
    quint64 symbolMasterClientIndex() const override { return slot; }
    void setSymbolMasterClientIndex(quint64 index) override { slot = index; }

    // --- DrawableContainer: the graphic is placed at `offset`, with this object's attributes
    VXObjectOwnerLayer* layer() const override { return VXDrawableObject::layer(); }
    VXDrawing* drawing() const override { return VXDrawableObject::drawing(); }
    ZQUndoManager* undoManager() const override { return VXDrawableObject::undoManager(); }
    QTransform renderingTransform() const override { return QTransform::fromTranslate(offset.x(), offset.y()); }
    void objectDidChangeBoundsFrom(VXDrawableObject*, const QRectF&) override {}
    void setNeedsDisplayInRect(const QRectF&) override {}
    QVariant metadataObjectForKey(const QString& key) const override { return VXDrawableObject::metadataObjectForKey(key); }

private:
    QStringList* m_journal;
    QString m_label;
};

// A master of a filled 20 x 10 rectangle about the origin.
VXQSymbolMasterPtr rectangleMaster(const QString& name = QStringLiteral("Box"));

} // namespace mastertest
