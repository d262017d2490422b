#include "InspectorTesting.h"

#include "app/sidebar/VLTMGenericObjectController.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "inspectors/geometry/GeometryDisplayUnits.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace {

struct DocumentFixture {
    std::shared_ptr<ZQTrueQuorvaneDocument> document = std::make_shared<ZQTrueQuorvaneDocument>();
    std::shared_ptr<VLTMGeometryController> tab = VLTMGeometryController::make();
    int formatterChanges = 0;
    QObject receiver;

    DocumentFixture()
    {
        QuorvaneError error;
        EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
        platform::NotificationCenter::defaultCenter().addObserver(&receiver, kVLTMGeometryControllerFormatterDidChange,
                                                                  tab.get(),
                                                                  [this](const platform::Notification&) { ++formatterChanges; });
    }
    ~DocumentFixture()
    {
        tab->setDrawing(nullptr);
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey(VLTMGeometryController::kUseDrawingUnitsKey);
    }
    QString shown(double points) const { return tab->drawingUnitsFormatter()->stringForObjectValue(points); }
};

} // namespace

TEST(GeometryDisplayUnits, TheTabFollowsTheDocumentsOption)
{
    DocumentFixture fixture;
    fixture.document->setUnitDisplayOption(1);
    fixture.tab->setDrawing(fixture.document->drawing().get());
    EXPECT_EQ(fixture.tab->drawingUnitsMode(), geometryunits::kPointsMode);
    EXPECT_EQ(fixture.tab->drawingUnitsPopUp()->currentData().toInt(), 0);
    // Option 0 is drawing units, which the pop-up tags 1.
    fixture.document->setUnitDisplayOption(0);
    EXPECT_EQ(fixture.tab->drawingUnitsMode(), geometryunits::kDrawingUnitsMode);
    EXPECT_EQ(fixture.tab->drawingUnitsPopUp()->currentData().toInt(), 1);
}

TEST(GeometryDisplayUnits, MapUnitsFollowTheMapScale)
{
    DocumentFixture fixture;
    fixture.document->setMapScale(VXQMapScale::defaultScale()); // 4 cm = 1 km
    fixture.tab->setDrawing(fixture.document->drawing().get());
    fixture.tab->displayUnitsAction(geometryunits::kMapUnitsMode);
    EXPECT_EQ(fixture.document->unitDisplayOption(), 2);
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults()->integerForKey(VLTMGeometryController::kUseDrawingUnitsKey), 2);
    const double eightCentimetres = 8 * 72 / 2.54;
    EXPECT_EQ(fixture.shown(eightCentimetres), QStringLiteral("2km"));

    const int changes = fixture.formatterChanges;
    fixture.document->setMapScale(VXQMapScale::defaultScale()->mapScaleWithReferenceValueKeepingScaleFactor(2, false));
    EXPECT_GT(fixture.formatterChanges, changes);
    EXPECT_EQ(fixture.shown(eightCentimetres), QStringLiteral("4km"));

    // In points a new scale changes nothing.
    fixture.tab->displayUnitsAction(geometryunits::kPointsMode);
    const int inPoints = fixture.formatterChanges;
    fixture.document->setMapScale(VXQMapScale::defaultScale());
    EXPECT_EQ(fixture.formatterChanges, inPoints);
}
