#include "MasterTestSupport.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "symbols/manager/VXQSymbolManager.h"
#include "symbols/placed/VXQSymbol.h"

#include <QMimeData>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

using mastertest::Instance;
using mastertest::rectangleMaster;

class MasterSharingTest : public ::testing::Test {
protected:
    VXQSymbolManager::SharedRegistryScope registry;
    QMimeData data;
    platform::Pasteboard pasteboard{&data};
};

TEST_F(MasterSharingTest, PasteboardCarriesTheKeyFirstThenTheArchive)
{
    const VXQSymbolMasterPtr master = rectangleMaster();
    EXPECT_FALSE(VXQSymbolMaster::canInitWithPasteboard(pasteboard));
    master->copyToPasteboard(pasteboard);
    EXPECT_EQ(pasteboard.types(), VXQSymbolMaster::writableTypesForPasteboard());
    EXPECT_EQ(pasteboard.stringForType(kVXQSymbolMasterKeyPasteboardType), master->uniqueKey());
    EXPECT_TRUE(VXQSymbolMaster::canInitWithPasteboard(pasteboard));
    EXPECT_EQ(master->pasteboardPropertyListForType(kVXQSymbolMasterKeyPasteboardType), QVariant(master->uniqueKey()));
    EXPECT_FALSE(master->pasteboardPropertyListForType(platform::kPasteboardTypeString).isValid());

    // Unknown to the registry: read from the archive, which registers it.
    const VXQSymbolMasterPtr pasted = VXQSymbolMaster::symbolMasterWithPasteboard(pasteboard);
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->uniqueKey(), master->uniqueKey());
    EXPECT_EQ(pasted->name(), master->name());
    // Known now: every later paste is that same master.
    EXPECT_EQ(VXQSymbolMaster::symbolMasterWithPasteboard(pasteboard), pasted);
}

TEST_F(MasterSharingTest, UnknownKeysAndDamagedArchivesGiveNoMaster)
{
    pasteboard.declareTypes({kVXQSymbolMasterKeyPasteboardType});
    pasteboard.setStringForType(QStringLiteral("no-such-key"), kVXQSymbolMasterKeyPasteboardType);
    EXPECT_FALSE(VXQSymbolMaster::symbolMasterWithPasteboard(pasteboard));

    pasteboard.declareTypes({kVXQSymbolMasterKeyPasteboardType, kVXQSymbolMasterPasteboardType});
    pasteboard.setStringForType(QStringLiteral("no-such-key"), kVXQSymbolMasterKeyPasteboardType);
    QByteArray damaged = rectangleMaster()->fileData();
    damaged.truncate(damaged.size() / 2);
    pasteboard.setDataForType(damaged, kVXQSymbolMasterPasteboardType);
    EXPECT_FALSE(VXQSymbolMaster::symbolMasterWithPasteboard(pasteboard));

    // A key the registry knows wins over whatever archive comes with it.
    const VXQSymbolMasterPtr known = rectangleMaster();
    VXQSymbolManager::registerSymbol(known);
    pasteboard.setStringForType(known->uniqueKey(), kVXQSymbolMasterKeyPasteboardType);
    EXPECT_EQ(VXQSymbolMaster::symbolMasterWithPasteboard(pasteboard), known);
}

TEST_F(MasterSharingTest, DrawingAnInstanceLendsTheGraphicQuietly)
{
    const VXQSymbolMasterPtr master = rectangleMaster(); // blue, 20 x 10 about the origin
    VXDrawableObject* graphic = master->object();
    auto instance = std::make_shared<Instance>();
    instance->offset = QPointF(30, 20);

    int posted = 0;
    QObject listener;
    for (const QString& name : {kVXQSymbolMasterWillChange, kVXQSymbolMasterDidChange, kVXMetadataDidChangeNotification})
        platform::NotificationCenter::defaultCenter().addObserver(&listener, name, nullptr,
                                                                  [&](const platform::Notification&) { ++posted; });
    ZQUndoManager undo;
    master->setStylesUndoManager(&undo);

    QImage image(60, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        master->drawSymbolInstance(instance.get());
        const VXStylePtr red = VXStyle::styleWithFillColourStrokeColour(Qt::red, QColor());
        instance->offset = QPointF(30, 32);
        master->drawSymbolInstance(instance.get(), red);
    }
    EXPECT_EQ(image.pixelColor(30, 20), QColor(Qt::blue)) << "placed through the lender's transform";
    EXPECT_EQ(image.pixelColor(30, 33), QColor(Qt::red)) << "drawn with the lent style";
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(graphic->container(), master.get());
    EXPECT_EQ(graphic->style(), master->style());
    EXPECT_EQ(graphic->bounds().center(), QPointF(0, 0)) << "caches hold the master's coordinates again";
    EXPECT_EQ(posted, 0);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_NO_THROW(master->drawSymbolInstance(nullptr)); // logged: drawing never throws
    platform::NotificationCenter::defaultCenter().removeObserver(&listener);
}

TEST_F(MasterSharingTest, SelectAllSymbolsSelectsOnlyTheLayersOwnInstancesInItsOrder)
{
    const VXQSymbolMasterPtr master = rectangleMaster();
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize({200, 200});
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    auto elsewhere = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    drawing->addLayer(elsewhere);
    auto lower = std::make_shared<Instance>();
    auto upper = std::make_shared<Instance>();
    auto stranger = std::make_shared<Instance>();
    auto plain = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 5, 5), VXStyle::defaultStyle());
    layer->addObject(lower);
    layer->addObject(plain);
    layer->addObject(upper);
    elsewhere->addObject(stranger);
    // Clients join in another order than the layer's.
    master->addSymbolMasterClient(upper.get());
    master->addSymbolMasterClient(stranger.get());
    master->addSymbolMasterClient(lower.get());

    master->selectAllSymbols();
    EXPECT_EQ(layer->selection(), (QList<VXDrawableObjectPtr>{lower, upper}));
    EXPECT_TRUE(elsewhere->selection().isEmpty());
}

TEST_F(MasterSharingTest, DefaultMastersAreMadeOnceWithTheirShapes)
{
    const VXQSymbolMasterPtr star = VXQSymbolMaster::defaultSymbolMaster();
    ASSERT_TRUE(star);
    EXPECT_EQ(VXQSymbolMaster::defaultSymbolMaster(), star);
    EXPECT_EQ(star->name(), QStringLiteral("Default Symbol"));
    const auto* polygon = qobject_cast<const VXRegularPolygonPath*>(star->object());
    ASSERT_NE(polygon, nullptr);
    EXPECT_EQ(polygon->numberOfSides(), 5);
    EXPECT_TRUE(polygon->isStar());
    EXPECT_DOUBLE_EQ(polygon->radius(), 16.0);
    EXPECT_DOUBLE_EQ(polygon->innerRadius(), 0.38);
    // Upright: the top tip at the radius above the origin.
    EXPECT_NEAR(polygon->logicalBounds().top(), -16.0, 0.6);
    EXPECT_NE(polygon->style(), nullptr); // placed stars show

    const VXQSymbolMasterPtr point = VXQSymbolMaster::defaultSymbolMasterForPointObjectImport();
    EXPECT_EQ(VXQSymbolMaster::defaultSymbolMasterForPointObjectImport(), point);
    EXPECT_EQ(point->name(), QStringLiteral("Imported Point Symbol"));
    EXPECT_EQ(point->objectSize(), QSizeF(4, 4));
    EXPECT_FALSE(point->sequenceable());
}

TEST_F(MasterSharingTest, SymbolsOfTheDefaultMastersFindThemAgainAfterARestart)
{
    const VXQSymbolMasterPtr star = VXQSymbolMaster::defaultSymbolMaster();
    const VXQSymbolMasterPtr point = VXQSymbolMaster::defaultSymbolMasterForPointObjectImport();
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize({200, 200});
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    layer->addObject(star->symbolWithLocation(QPointF(10, 10)));
    layer->addObject(star->symbolWithLocation(QPointF(50, 50)));
    layer->addObject(point->symbolWithLocation(QPointF(90, 90)));
    const QByteArray saved = platform::KeyedArchiver::archivedDataWithRootObject(layer.get());

    // A new launch: a registry that has never seen these masters.
    const VXQSymbolManager::SharedRegistryScope restarted;
    const auto read = std::dynamic_pointer_cast<VXObjectDrawingLayer>(platform::KeyedUnarchiver::unarchiveObjectWithData(saved));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->objects().size(), 3);
    const auto symbolAt = [&](int i) { return std::dynamic_pointer_cast<VXQSymbol>(read->objects().at(i)); };
    EXPECT_EQ(symbolAt(0)->master(), star);
    EXPECT_EQ(symbolAt(1)->master(), star);
    EXPECT_EQ(symbolAt(2)->master(), point);
    EXPECT_TRUE(VXQSymbolMaster::builtInMasterForKey(star->uniqueKey()));
    EXPECT_FALSE(VXQSymbolMaster::builtInMasterForKey(rectangleMaster()->uniqueKey()));
    // A copy is a master of its own, with a key of its own.
    EXPECT_NE(std::static_pointer_cast<VXQSymbolMaster>(star->copy())->uniqueKey(), star->uniqueKey());
}

} // namespace
