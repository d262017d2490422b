// The picker palette showing a category of 5,000 items (two thirds styles, one third symbols):
// the time of a change of tool, cycling through a road tool whose style is one of the items,
// the symbol tool and the selection tool. Each change re-applies the tool's kind, rebuilds the
// set of greyed items, chooses the tool's item and repaints the palette.
#include "support/BenchSupport.h"

#include "library/LibraryClasses.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/picker/VXQLibraryPickerPaletteController.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/tools/VXSelectAndEditTool.h"
#include "symbols/tool/VXQSymbolTool.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

namespace {

constexpr int kItems = 5000;

// Empty packages (previews are asked for only by the cells shown) and the category file; the
// item at index 100 carries `styleKey`, so the road tool's style is found among them.
void writeLibrary(const QString& folder, const QString& styleKey)
{
    QDir().mkpath(folder);
    QVariantList allItems;
    for (int i = 0; i < kItems; ++i) {
        const QString name = QStringLiteral("%1 %2").arg(i % 3 == 0 ? QStringLiteral("Symbol") : QStringLiteral("Road Style")).arg(i);
        const QString key = i == 100 ? styleKey : QUuid::createUuid().toString(QUuid::WithoutBraces);
        allItems.append(QVariantMap{{QStringLiteral("name"), name}, {QStringLiteral("id"), key},
                                    {QStringLiteral("cc"), i % 3 == 0 ? 2 : 1}});
        QDir().mkpath(folder + u'/' + name + QStringLiteral(".libitem"));
    }
    const QVariantMap file{{QStringLiteral("allitems"), allItems}, {QStringLiteral("categories"), QVariantList()},
                           {QStringLiteral("checksum"), quint64(kItems)}, {QStringLiteral("contX"), true},
                           {QStringLiteral("catX"), true}, {QStringLiteral("version"), 2}};
    platform::PropertyList::writeFile(file, folder + QStringLiteral("/Big.categories"), platform::PropertyList::Format::Binary);
}

void paint(QWidget* window)
{
    QApplication::processEvents();
    bench::keep(window->grab());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir place;
    QStandardPaths::setTestModeEnabled(true);
    platform::UserDefaults::setStorageLocationForTesting(place.filePath(QStringLiteral("defaults")));
    registerLibraryClasses();
    platform::Log::setSink([](LogEventKind, const QString&) {});
    VXQLibrary::setUserLibrariesFolder(place.filePath(QStringLiteral("user")));
    VXQLibrary::setFactoryLibrariesFolder(place.filePath(QStringLiteral("factory")));

    const VXStylePtr roadStyle = VXStyle::styleWithFillColourStrokeColour(Qt::gray, Qt::black);
    writeLibrary(place.filePath(QStringLiteral("user/Big.symlibrary")), roadStyle->uniqueKey());
    VXQLibraryCatalogue::initialize();
    VXQLibrary* big = VXQLibraryCatalogue::libraryWithName(QStringLiteral("Big"));
    if (!big || big->itemCount() != kItems) {
        std::fprintf(stderr, "the library did not open with %d items\n", kItems);
        return 1;
    }

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
        paint(window);
        for (int round = 0; round < 20; ++round)
            for (VXDrawingTool* tool : tools)
                changes.push_back(bench::secondsOf([&] {
                    palette.setUIStateForDrawingTool(tool);
                    paint(window);
                }));
        if (palette.filteredItems().size() != kItems) {
            std::fprintf(stderr, "the palette did not show the %d items\n", kItems);
            return 1;
        }
    }
    VXQLibraryCatalogue::applicationWillQuit();
    bench::printValue(QStringLiteral("picker_tool_change_5000"), bench::percentile(changes, 0.95) * 1000.0, "ms", 16);
    return 0;
}
