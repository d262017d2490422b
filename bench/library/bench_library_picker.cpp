// The picker palette showing a category of 5,000 items (two thirds styles, one third symbols):
// the time of a change of tool, cycling through a road tool whose style is one of the items,
// the symbol tool and the selection tool. Each change re-applies the tool's kind, rebuilds the
// set of greyed items, chooses the tool's item and repaints the palette.
#include "support/BenchSupport.h"
#include "support/BigLibrary.h"

#include "library/picker/VXQLibraryPickerPaletteController.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/tools/VXSelectAndEditTool.h"
#include "symbols/tool/VXQSymbolTool.h"

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    QTemporaryDir place;
    // Item 100 carries the road tool's style, so the tool's style is found among the items.
    const VXStylePtr roadStyle = VXStyle::styleWithFillColourStrokeColour(Qt::gray, Qt::black);
    VXQLibrary* big = benchscene::openBigLibrary(place, 0, [&](int item) {
        return item == 100 ? roadStyle->uniqueKey() : QString();
    });
    if (!big)
        return 1;

    const auto prototype = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 1, 1), VXStyle::defaultStyle());
    auto roadTool = std::make_shared<VXObjectCreationTool>(prototype, VXObjectCreationTool::Geometry::Line);
    roadTool->setStyle(roadStyle);
    auto symbolTool = std::make_shared<VXQSymbolTool>(nullptr);
    auto selectionTool = std::make_shared<VXSelectAndEditTool>();
    const std::vector<VXDrawingTool*> tools{roadTool.get(), symbolTool.get(), selectionTool.get()};

    std::vector<double> changes;
    {
        VXQLibraryPickerPaletteController palette;
        QWidget* window = palette.window();
        palette.setCategory(big->allItemsCategory());
        window->show();
        benchscene::paintWindow(window);
        for (int round = 0; round < 20; ++round)
            for (VXDrawingTool* tool : tools)
                changes.push_back(bench::secondsOf([&] {
                    palette.setUIStateForDrawingTool(tool);
                    benchscene::paintWindow(window);
                }));
        if (palette.filteredItems().size() != benchscene::kBigLibraryItems) {
            std::fprintf(stderr, "the palette did not show the %d items\n", benchscene::kBigLibraryItems);
            return 1;
        }
    }
    VXQLibraryCatalogue::applicationWillQuit();
    bench::printValue(QStringLiteral("picker_tool_change_5000"), bench::percentile(changes, 0.95) * 1000.0, "ms", 16);
    return 0;
}
