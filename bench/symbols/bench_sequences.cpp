// A mapping layer holding a 5,000-symbol sequence that feeds one key table: "Move To Start Of
// Sequence" on the last symbol renumbers every member (their number attributes written), posts
// the renumbering and rebuilds the key table's text. Laying the text out is not timed: the
// table's shape here reports its box as its bounds instead of measuring its text. Each run is
// undone before the next, so all runs move the same symbol the same way.

#include "support/BenchSupport.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "symbols/SymbolClasses.h"
#include "symbols/keytable/VXQKeyTable.h"
#include "symbols/keytable/VXQKeyTableTextShape.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/LayerSequences.h"

#include <QApplication>

namespace {

constexpr int kSymbols = 5000;
constexpr int kRuns = 20;

// Bounds without the text's extent, which would lay the text out on every change.
class UnmeasuredKeyTableShape : public VXQKeyTableTextShape {
public:
    QRectF bounds() const override { return VXDrawableShape::bounds(); }
};

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerSymbolClasses();

    ZQUndoManager undo;
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize({4000, 3000});
    drawing->setUndoManager(&undo);
    auto layer = std::make_shared<VXQMappingLayer>();
    drawing->addLayer(layer);
    const auto square = VXDrawableShape::drawableShapeWithRect({-4, -4, 8, 8}, VXStyle::styleWithFillColourStrokeColour(Qt::red, {}));
    const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithObjectName(*square, QStringLiteral("Site"));
    master->setSequenceable(true);
    QList<VXDrawableObjectPtr> symbols;
    for (int i = 0; i < kSymbols; ++i) {
        const VXQSymbolPtr symbol = master->symbolWithLocation(QPointF(10 + (i % 100) * 39, 10 + (i / 100) * 59));
        symbol->setMetadataItemValueForKey(QStringLiteral("Site %1").arg(i), QStringLiteral("QVNL_SEQUENCE_INFO"));
        symbols.append(symbol);
    }
    layer->addObjectsFromArray(symbols);
    const VXQSymbolSequencePtr sequence = layersequences::sequenceForMasterID(*layer, master->uniqueKey());
    const auto table = std::make_shared<VXQKeyTable>();
    sequence->addKeytable(table);
    const auto shape = std::make_shared<UnmeasuredKeyTableShape>();
    shape->setSize(table->tableSize());
    table->setTextShape(shape);
    layer->addObject(shape);
    undo.closeAutomaticGroup();
    undo.removeAllActions();

    const auto last = std::static_pointer_cast<VXQSymbol>(symbols.last());
    platform::MenuItem item(QStringLiteral("Move To Start Of Sequence"), "moveToStartOfSequence");
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        times.push_back(bench::secondsOf([&] { last->moveToStartOfSequence(&item); }));
        undo.closeAutomaticGroup();
        undo.undo();
    }
    if (sequence->symbolAtIndex(kSymbols - 1) != last
        || !table->textShape()->textAdornment()->string().startsWith(QStringLiteral("\n1\tSite 0\n"))) {
        std::fprintf(stderr, "the sequence did not come back after undo\n");
        return 1;
    }
    bench::printValue(QStringLiteral("sequence_move_5000"), bench::percentile(times, 0.95) * 1000.0, "ms", 100);
    return 0;
}
