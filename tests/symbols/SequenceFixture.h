#pragma once

// A mapping layer in a drawing with an undo manager, and a sequenceable master whose symbols
// the layer numbers as they are added.

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/LayerSequences.h"
#include "symbols/sequences/VXQSymbolSequence.h"
#include "support/UndoableDrawing.h"

namespace sequencetest {

inline VXQSymbolMasterPtr squareMaster(bool sequenceable, const QString& name = QStringLiteral("Square"))
{
    const auto square = VXDrawableShape::drawableShapeWithRect({-5, -5, 10, 10},
                                                               VXStyle::styleWithFillColourStrokeColour(Qt::blue, {}));
    VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithObjectName(*square, name);
    master->setSequenceable(sequenceable);
    return master;
}

struct Fixture : testsupport::UndoableDrawing<VXQMappingLayer> {
    VXQSymbolMasterPtr master = squareMaster(true);
    QList<VXQSymbolPtr> symbols;

    explicit Fixture(int count = 0)
        : UndoableDrawing({600, 400})
    {
        for (int i = 0; i < count; ++i)
            place(QPointF(20 + 30 * i, 50));
        forget();
    }
    VXQSymbolPtr place(QPointF at, const VXQSymbolMasterPtr& of = nullptr)
    {
        VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(of ? of : master);
        symbol->setLocation(at);
        layer->addObject(symbol);
        symbols.append(symbol);
        return symbol;
    }
    VXQSymbolSequencePtr sequence() const { return layersequences::sequenceForMasterID(*layer, master->uniqueKey()); }
    // The members' "QVNL_SEQUENCE_NUMBER" attributes in sequence order.
    QStringList numbers() const
    {
        QStringList shown;
        if (const auto numbered = sequence())
            for (const VXQSymbolPtr& symbol : numbered->symbols())
                shown << symbol->metadataValueForKey(kVXQSequenceNumberKey).toString();
        return shown;
    }
    // The members as indexes into `symbols`, in sequence order.
    QList<int> order() const
    {
        QList<int> indexes;
        if (const auto numbered = sequence())
            for (const VXQSymbolPtr& symbol : numbered->symbols())
                indexes << int(symbols.indexOf(symbol));
        return indexes;
    }
};

} // namespace sequencetest
