// Buffer zones through the map document and its sheet: the zone's geometry and style, its
// place beneath the source, the undo step, and the selections and distances refused.

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "inspectors/buffer/ZQQuorvaneBufferController.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"
#include "tracks/model/VXQTrack.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <cmath>

namespace {

VXDrawablePathPtr line(QPointF from, QPointF to)
{
    platform::BezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    return VXDrawablePath::drawablePathWithBezierPathWithStyle(path, VXStyle::defaultLineStyle());
}

VXQSymbolPtr symbolAt(QPointF location)
{
    const auto square = VXDrawableShape::drawableShapeWithRect({-5, -5, 10, 10}, nullptr);
    VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*square, QStringLiteral("Well")));
    symbol->setLocation(location);
    return symbol;
}

struct BufferFixture {
    std::shared_ptr<ZQTrueQuorvaneDocument> document = std::make_shared<ZQTrueQuorvaneDocument>();
    VXObjectDrawingLayer* layer = nullptr;
    ZQUndoManager* undo = nullptr;

    explicit BufferFixture(const ZQUnitLengthPtr& units)
    {
        QuorvaneError error;
        EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
        document->drawing()->setUnits(units);
        layer = dynamic_cast<VXObjectDrawingLayer*>(document->activeLayer());
        undo = document->undoManager();
    }
    template <class Object> std::shared_ptr<Object> add(std::shared_ptr<Object> object)
    {
        layer->addObject(object);
        return object;
    }
    void select(const QList<VXDrawableObjectPtr>& objects)
    {
        layer->exchangeSelectionWithObjectsFromArray(objects);
        undo->closeAutomaticGroup();
        undo->removeAllActions();
    }
    // Runs the sheet with `distance` typed, and OK or Cancel.
    void bufferThroughSheet(const QString& distance, bool ok = true)
    {
        ZQQuorvaneBufferController sheet;
        sheet.runBufferDialogForWindowBufferDelegate(nullptr, document.get());
        sheet.distanceField()->setText(distance);
        if (ok)
            sheet.okButton()->click();
        else
            sheet.cancelAction();
        undo->closeAutomaticGroup();
    }
    bool validates(const QByteArray& action)
    {
        platform::MenuItem item(QString(), action);
        return document->validateMenuItem(&item);
    }
};

// The farthest any point of the outline lies from `radius` round `centre`.
double radialError(const platform::BezierPath& path, QPointF centre, double radius)
{
    double worst = 0;
    for (const QPolygonF& ring : path.painterPath().toSubpathPolygons())
        for (QPointF point : ring)
            worst = std::max(worst, std::abs(QLineF(centre, point).length() - radius));
    return worst;
}

} // namespace

TEST(BufferCommand, ASymbolInAMillimetreDrawingGetsACircleBeneathItSelectedAsOneUndoStep)
{
    BufferFixture f(ZQUnitLength::millimeters());
    auto below = f.add(line({0, 0}, {50, 50}));
    auto symbol = f.add(symbolAt({200, 150}));
    auto above = f.add(line({0, 50}, {50, 0}));
    f.select({symbol});
    EXPECT_TRUE(f.document->canBuffer());
    EXPECT_TRUE(f.validates("bufferAction"));

    ZQQuorvaneBufferController sheet;
    sheet.runBufferDialogForWindowBufferDelegate(nullptr, f.document.get());
    EXPECT_EQ(sheet.unitsField()->text(), QStringLiteral("mm"));
    sheet.distanceField()->setText(QStringLiteral("10"));
    sheet.okButton()->click();
    f.undo->closeAutomaticGroup();

    const QList<VXDrawableObjectPtr> objects = f.layer->objects();
    ASSERT_EQ(objects.size(), 4);
    EXPECT_EQ(objects[0], below);
    EXPECT_EQ(objects[2], symbol);
    EXPECT_EQ(objects[3], above);
    auto zone = std::dynamic_pointer_cast<VXDrawablePath>(objects[1]);
    ASSERT_TRUE(zone);
    EXPECT_LT(radialError(zone->path(), {200, 150}, 28.3465), 0.01);
    EXPECT_NEAR(zone->path().area(), M_PI * 28.3465 * 28.3465, 1.0);
    EXPECT_EQ(zone->style()->fillColour(), QColor::fromRgbF(0, 1, 0, 0.25));
    EXPECT_FALSE(zone->style()->hasStroke());
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{zone});
    EXPECT_EQ(symbol->location(), QPointF(200, 150));

    ASSERT_EQ(f.undo->undoActionName(), QStringLiteral("Buffer Symbol"));
    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), (QList<VXDrawableObjectPtr>{below, symbol, above}));
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{symbol});
    EXPECT_FALSE(f.undo->canUndo());
    f.undo->redo();
    EXPECT_EQ(f.layer->objects().at(1), zone);
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{zone});
}

TEST(BufferCommand, APathOrRoadGetsItsOutlineWithRoundEnds)
{
    BufferFixture f(ZQUnitLength::points());
    auto path = f.add(line({100, 100}, {200, 100}));
    f.select({path});
    f.document->bufferControllerPerformBufferingWithDistance(5);
    f.undo->closeAutomaticGroup();
    ASSERT_EQ(f.undo->undoActionName(), QStringLiteral("Buffer Path"));
    auto zone = std::dynamic_pointer_cast<VXDrawablePath>(f.layer->objects().first());
    ASSERT_TRUE(zone);
    // A 100 x 10 band with a half disc at either end.
    EXPECT_NEAR(zone->path().area(), 100 * 10 + M_PI * 25, 1.0);
    EXPECT_NEAR(zone->bounds().left(), 95, 0.01);
    EXPECT_NEAR(zone->bounds().height(), 10, 0.01);
    EXPECT_EQ(path->path().lineCapStyle(), platform::LineCapStyle::Butt);

    // A road is a path too: its centre line is buffered.
    platform::BezierPath centreLine;
    centreLine.moveToPoint({0, 300});
    centreLine.lineToPoint({0, 400});
    auto road = f.add(VXQTrack::trackWithPathType(centreLine, kVXQRoadTrackType));
    f.select({road});
    ASSERT_TRUE(f.document->canBuffer());
    f.bufferThroughSheet(QStringLiteral("20"));
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Buffer Path"));
    EXPECT_NEAR(f.layer->selection().first()->bounds().width(), 40, 0.01);
    EXPECT_EQ(f.layer->objects().last(), road);
}

TEST(BufferCommand, LockedOrUnbufferableSelectionsAndNonPositiveDistancesChangeNothing)
{
    BufferFixture f(ZQUnitLength::millimeters());
    auto symbol = f.add(symbolAt({200, 150}));
    auto box = f.add(VXDrawableShape::drawableShapeWithRect({10, 10, 20, 20}, nullptr));
    const auto unchanged = [&](const char* what) {
        EXPECT_EQ(f.layer->countOfObjects(), 2) << what;
        EXPECT_FALSE(f.undo->canUndo()) << what;
    };

    f.select({symbol});
    for (const QString& distance : {QString(), QStringLiteral("0"), QStringLiteral("-3"), QStringLiteral("far")})
        f.bufferThroughSheet(distance);
    f.bufferThroughSheet(QStringLiteral("10"), false);
    f.document->bufferControllerPerformBufferingWithDistance(std::nan(""));
    unchanged("distances");
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{symbol});

    symbol->setLocked(true);
    f.select({symbol});
    EXPECT_FALSE(f.document->canBuffer());
    EXPECT_FALSE(f.validates("bufferAction"));
    f.document->bufferControllerPerformBufferingWithDistance(10);
    unchanged("locked");

    symbol->setLocked(false);
    f.select({box});
    EXPECT_FALSE(f.document->canBuffer());
    f.document->bufferControllerPerformBufferingWithDistance(10);
    f.select({symbol, box});
    EXPECT_FALSE(f.document->canBuffer());
    f.document->bufferControllerPerformBufferingWithDistance(10);
    unchanged("selection");

    // The duplicate commands want a selection, any size.
    EXPECT_TRUE(f.validates("linearDuplicate"));
    EXPECT_TRUE(f.validates("polarDuplicate"));
    f.select({});
    EXPECT_FALSE(f.validates("linearDuplicate"));
    EXPECT_FALSE(f.validates("polarDuplicate"));
}
